#pragma once

// Tests that need port 13579 to themselves (ordering, port clashes) move the whole test process into a network
// namespace of its own, where only its loopback interface exists, so nothing else on the host can send to it
// or hold the port. Works as root or with unprivileged user namespaces; false when neither is allowed. The
// sockets to use in it are in support/LoopbackSockets.h.
bool EnterPrivateNetwork();
