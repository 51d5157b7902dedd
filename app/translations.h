// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace lsg {

// What installTranslations put in place: the language of the program's texts ("de"), empty for
// English, and whether Qt's own texts (OK, Cancel, the font chooser) follow it.
struct InstalledTranslations {
    QString language;
    bool qtTexts = false;
};

// Installs the program's translation for the user's language, embedded as
// :/i18n/loadspire_<lang>.qm, and Qt's own qtbase_<lang>.qm from Qt's translations folder when
// that is there. Nothing is installed when the first language the user asks for is English (or
// the C locale): the program's texts are English already.
InstalledTranslations installTranslations(QCoreApplication& app, const QLocale& locale = QLocale());

}  // namespace lsg
