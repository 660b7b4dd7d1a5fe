#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Tests that need port 13579 to themselves (ordering, port clashes) move the whole test process into a network
// namespace of its own, where only its loopback interface exists, so nothing else on the host can send to it
// or hold the port. Works as root or with unprivileged user namespaces; false when neither is allowed.
bool EnterPrivateNetwork();

// A socket that sends from 127.0.0.1; -1 on failure.
int LoopbackSender();
// Sends to 224.0.0.1:13579 on the loopback interface, or to 127.0.0.1:13579.
bool SendToGroupOnLoopback(int fd, const std::vector<std::uint8_t> &bytes);
bool SendToLoopbackUnicast(int fd, const std::vector<std::uint8_t> &bytes);

// Binds a socket to `address`:13579 without address reuse, as a program that does not expect to share the
// port would. -1 on failure.
int HoldPort(const char *address, bool reuse);
