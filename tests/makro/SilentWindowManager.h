#pragma once
// Makes activation of a window that declines the focus (Qt::WindowDoesNotAcceptFocus) fail as
// it does under a window manager. Where a manager runs, it refuses such a window by itself and
// this does nothing. Where none runs, the focus could be set directly, so this stands in for a
// manager: it announces itself (the check window and the client list on the root window) and
// then ignores every request. It leaves the root window as it found it when destroyed.
#include <vector>

class SilentWindowManager {
public:
    explicit SilentWindowManager(const std::vector<unsigned long>& clients);
    ~SilentWindowManager();
    SilentWindowManager(const SilentWindowManager&) = delete;
    SilentWindowManager& operator=(const SilentWindowManager&) = delete;

private:
    void* display_;
    unsigned long check_;
};
