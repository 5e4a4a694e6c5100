#pragma once

class QPrinter;

/// Whether the print system took the job that the printer's painter ended
/// last. A printer that writes a file always does; a print queue may refuse
/// the job, for example while it is set to reject jobs.
bool PrintSystemTookJob(const QPrinter &printer);
