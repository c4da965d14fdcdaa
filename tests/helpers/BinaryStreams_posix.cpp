#include "BinaryStreams.h"

void UseBinaryStreams() {}
