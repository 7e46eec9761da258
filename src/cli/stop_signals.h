#pragma once

namespace parvex {

/// Makes SIGINT, SIGTERM and SIGHUP ask the run to stop instead of ending the process, so that
/// the groups found so far still reach the output. A signal the process inherited as ignored
/// stays ignored (nohup, background jobs); one inherited as blocked is unblocked.
void InstallStopSignalHandlers();

/// The last stop signal received since InstallStopSignalHandlers, 0 for none.
int ReceivedStopSignal();

} // namespace parvex
