#include "tests/netenum/scriptednetwork.h"

#include <cstdint>

namespace
{

int Key(EnumHandle handle)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(handle));
}

std::optional<std::string> Text(const char* text)
{
    return text ? std::optional<std::string>(text) : std::nullopt;
}

} // namespace

DWORD ScriptedNetwork::WNetOpenEnum(DWORD, DWORD, DWORD, const NetResource* container,
                                    EnumHandle* handle)
{
    std::string name = kTop;
    if (container)
        name = container->lpRemoteName ? container->lpRemoteName : "<null>";
    opened.push_back(name);
    const auto level = levels.find(name);
    if (level == levels.end())
        return ERROR_BAD_NETPATH;
    if (level->second.openResult != NO_ERROR_)
        return level->second.openResult;
    const int key = nextHandle_++;
    open_[key] = {name, 0, nullptr};
    *handle = reinterpret_cast<EnumHandle>(static_cast<intptr_t>(key));
    return NO_ERROR_;
}

DWORD ScriptedNetwork::WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                                        DWORD* bufferSize)
{
    const auto found = open_.find(Key(handle));
    if (found == open_.end())
        return ERROR_INVALID_HANDLE;
    Open& state = found->second;
    calls.push_back({state.level, *count, *bufferSize});
    for (const auto& [key, other] : open_)
        if (key != found->first && other.buffer == buffer)
            sharedBuffer = true;
    state.buffer = buffer;
    const Level& level = levels.at(state.level);
    if (state.batch >= level.batches.size())
        return level.endResult;
    size_t next = 0;
    const DWORD result =
        FillResourceBuffer(level.batches[state.batch], next, count, buffer, bufferSize);
    ++state.batch;
    return result;
}

DWORD ScriptedNetwork::WNetCloseEnum(EnumHandle handle)
{
    ++closes;
    if (open_.erase(Key(handle)) == 0) {
        ++badCloses;
        return ERROR_INVALID_HANDLE;
    }
    return NO_ERROR_;
}

ResourceEntry Record(DWORD type, DWORD displayType, DWORD usage, const char* remote,
                     const char* comment)
{
    ResourceEntry entry;
    entry.dwType = type;
    entry.dwDisplayType = displayType;
    entry.dwUsage = usage;
    entry.remoteName = Text(remote);
    entry.comment = Text(comment);
    return entry;
}

ResourceEntry Printer(const std::string& remote, const char* comment)
{
    return Record(RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE,
                  remote.c_str(), comment);
}

ResourceEntry Server(const std::string& remote)
{
    return Record(RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER,
                  remote.c_str());
}
