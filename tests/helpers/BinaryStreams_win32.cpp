#include "BinaryStreams.h"

#include <cstdio>
#include <initializer_list>
#include <fcntl.h>
#include <io.h>

void UseBinaryStreams()
{
    for (std::FILE* stream : {stdin, stdout, stderr})
        ::_setmode(::_fileno(stream), _O_BINARY);
}
