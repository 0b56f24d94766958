#pragma once

// The command line's view of its terminal.
bool StandardErrorIsTerminal();
bool StandardOutputIsTerminal();
// From now on standard output passes bytes as they are: no line ends are translated.
void WriteStandardOutputUnconverted();
// From now on an interrupt (Ctrl+C) only sets a flag, so that a run can stop in good order.
void CatchInterrupts();
bool InterruptRequested();
