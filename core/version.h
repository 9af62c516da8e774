// The program's name and version, as the about line shows them.
#pragma once

#define QUB_PROGRAM_NAME "qubstereo"
#define QUB_PROGRAM_VERSION "1.0"
