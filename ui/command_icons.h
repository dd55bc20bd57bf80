#pragma once

#include <QIcon>

#include "ui/commands.h"

/// The picture of a control-bar button, drawn in the colours of the palette's text; an empty
/// icon for commands that have no button.
QIcon CommandIcon(TCommandId id);
