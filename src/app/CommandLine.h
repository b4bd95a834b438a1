#pragma once

#include <QString>
#include <optional>

class QCoreApplication;

// LumaretTool [CATALOGUE], --help and --version.
namespace commandLine {

// Prints the help or the version and ends the program when either is asked for. Runs before the application
// object exists, so that both work on a terminal without a display.
void answerTextRequests(int argc, char* argv[]);

// The catalogue named on the command line, empty when none is. A command line that cannot be read is reported
// on standard error and gives nothing.
std::optional<QString> catalogueArgument(const QCoreApplication& app);

} // namespace commandLine
