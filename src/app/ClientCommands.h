#pragma once
// Carries out a command of the command line in the running client: the client's own
// (a first start with --settings or an address) or one handed over by a second start.
// The command runs from the event loop, so it is carried out also while a modal box or
// dialog is open. UI thread only.

#include "core/CommandLine.h"

class TFormMain;

void PostClientCommand(TFormMain& form, const core::ClientCommand& command);
