#pragma once
// For the length of a scope, this thread's file accesses are checked as those of a user who is
// not the superuser (nobody), so that tests run by root still meet "permission denied".
// Changing the file-system user from 0 drops the capabilities that override file permissions;
// changing it back restores them.
#include <sys/fsuid.h>

class AsPlainUser {
public:
    AsPlainUser() : previous_(::setfsuid(kNobody)) {}
    ~AsPlainUser() { ::setfsuid(previous_); }
    AsPlainUser(const AsPlainUser&) = delete;
    AsPlainUser& operator=(const AsPlainUser&) = delete;

private:
    static constexpr unsigned kNobody = 65534;
    int previous_;
};
