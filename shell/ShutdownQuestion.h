#pragma once

#include <QString>

struct Settings;

// The list of changed boxes that would be lost by ending the program, one
// line per box ("Graph  from box 2"); empty when nothing is unsaved.
QString UnsavedBoxesList(const Settings &settings);
// The whole question put to the operator before ending with unsaved boxes.
QString ShutdownQuestionText(const QString &list);
