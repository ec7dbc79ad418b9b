// POSIX: the socket headers and the path separator of the client's
// operating-system layer (client/platform/os.h).
#pragma once

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

// The separator inside paths built by the client, as text for formats.
#define BERTLOG_DIR_SEP "/"
