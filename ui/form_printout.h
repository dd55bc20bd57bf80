#pragma once

class CFWEngine;
class QPrinter;
class QWidget;

/// Prints every page of `report` on `printer` (or the pages the printer's range selects), each
/// centred on the printable area; the job is named after the report's title. A failure is told
/// to the user in a message box over `parent`; false then.
bool PrintReport(const CFWEngine& report, QPrinter& printer, QWidget* parent);
