// SharedFolder.h - folders as a user meets them in a shared place, for tests of saving.
#pragma once

#include <string>
#include <sys/types.h>

// Makes `dir` refuse new files (or no longer) while the files in it stay writable, as a
// folder the user may only write existing files in: by its mode for an ordinary user, by
// the immutable flag for root, whom modes do not stop. False when neither can be had here.
bool RefuseNewFiles(const std::string& dir, bool refuse);

// A group the process may give a file it saves, other than its own; gid_t(-1) when it
// belongs to no other.
gid_t AnotherGroupOfMine();
