#include "BinaryStreams.h"

#include <cstdio>
#include <fcntl.h>
#include <initializer_list>
#include <io.h>

void UseBinaryStreams()
{
    for (std::FILE* stream : {stdin, stdout, stderr})
        ::_setmode(::_fileno(stream), _O_BINARY);
}
