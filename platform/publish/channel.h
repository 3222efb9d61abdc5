// The sockets the window publishing talks over: a private folder per user, AF_UNIX sequenced
// packets, peers checked by their credentials. Internal to the layer.
#pragma once
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// $XDG_RUNTIME_DIR/<program>, or /tmp/<program>-<uid> when that is unset or too long for a socket name.
std::string PublishDirectory();
// True when path is a folder itself (not a link to one) owned by uid that neither group nor
// others may enter or read: only then are its sockets trusted.
bool IsPrivateDirectory(const std::string& path, uid_t uid);
// Creates the folder (mode 0700) when missing, then checks it as IsPrivateDirectory does.
bool MakePrivateDirectory(const std::string& path, uid_t uid);

// True when the connected peer runs as uid; its process id goes to *pid.
bool PeerRunsAs(int fd, uid_t uid, pid_t* pid);

// A connected client socket, or -1 with the errno of the failure in *error.
int ConnectPublished(const std::string& socketPath, int timeoutMs, int* error);
bool SendPacket(int fd, const std::vector<std::uint8_t>& packet);
// One packet, waiting at most timeoutMs; false on time-out, end of stream, an over-long packet,
// or when wakeFd (if not -1) becomes readable first.
bool ReceivePacket(int fd, int timeoutMs, int wakeFd, std::vector<std::uint8_t>* packet);
