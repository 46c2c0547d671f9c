#pragma once
// The windows' requests wired to the main window's routines, the same for every shell.

#include "platform/OperatorUi.h"
#include "ui/ShellHooks.h"

namespace korvex {

class frmKorvex;

ui::TrayHooks trayHooksFor(frmKorvex& form, OperatorUi& ui);
ui::DetailsHooks detailsHooksFor(frmKorvex& form);

}  // namespace korvex
