#pragma once

#include <sys/types.h>

#include <functional>

// A child process, killed (SIGKILL) and reaped when it goes, whatever it is doing then: no
// zombie and no stray process is left behind.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    // Started and not yet stopped, whether or not it has ended by itself.
    bool Running() const { return pid_ > 0; }
    void Stop();

    // Runs `work` in a new child that ends with _exit as soon as `work` returns or throws,
    // so that nothing of this process (stdio buffers, atexit handlers, destructors) runs
    // twice. Throws std::system_error when no child can be started.
    static ChildProcess Start(const std::function<void()>& work);

private:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}

    pid_t pid_ = -1;
};
