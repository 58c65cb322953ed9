#pragma once
// The live count kept by the socket's constructor and destructor; the last socket destroyed
// ends the Winsock start-up. Internal to the wsocket library.

void SocketCreated();
void SocketDestroyed();
