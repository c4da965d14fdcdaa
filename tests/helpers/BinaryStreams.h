#pragma once

// Standard input, output and error pass bytes as they are (Windows would turn LF into
// CR LF on the way).
void UseBinaryStreams();
