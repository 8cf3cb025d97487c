#pragma once

#include "platform/netenum/networkenumerator.h"
#include "platform/netenum/resourcebuffer.h"

#include <map>
#include <string>
#include <vector>

// A network told in advance, for what a real one cannot easily give (a level failing half
// way, odd records), that notes how the walk calls it.
class ScriptedNetwork : public NetworkEnumerator
{
public:
    struct Level {
        DWORD openResult = NO_ERROR_;
        std::vector<std::vector<ResourceEntry>> batches; // one WNetEnumResource call each
        DWORD endResult = ERROR_NO_MORE_ITEMS;           // every call after the batches
    };
    struct Call {
        std::string level;
        DWORD count;
        DWORD bufferSize;
    };

    // Levels by their container's remote name (kTop: the top of the network); opening any
    // other gives ERROR_BAD_NETPATH.
    static constexpr const char* kTop = "<top>";
    std::map<std::string, Level> levels;

    std::vector<std::string> opened; // every level asked for, in order
    std::vector<Call> calls;
    int closes = 0;
    int badCloses = 0;         // of handles that were not open
    bool sharedBuffer = false; // a call was given a buffer that an open level still uses

    // Handles opened and not closed.
    size_t OpenCount() const { return open_.size(); }

    DWORD WNetOpenEnum(DWORD scope, DWORD type, DWORD usage, const NetResource* container,
                       EnumHandle* handle) override;
    DWORD WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                           DWORD* bufferSize) override;
    DWORD WNetCloseEnum(EnumHandle handle) override;

private:
    struct Open {
        std::string level;
        size_t batch = 0;
        void* buffer = nullptr;
    };
    std::map<int, Open> open_;
    int nextHandle_ = 1;
};

// A record of a script.
ResourceEntry Printer(const std::string& remote, const char* comment = "");
ResourceEntry Server(const std::string& remote);
ResourceEntry Record(DWORD type, DWORD displayType, DWORD usage, const char* remote,
                     const char* comment = nullptr);
