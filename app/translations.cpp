// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/logging.h"

namespace lsg {

InstalledTranslations installTranslations(QCoreApplication& app, const QLocale& locale) {
    InstalledTranslations installed;
    const QStringList languages = locale.uiLanguages();
    // A list that begins with English means the user wants English, even when a later entry
    // names a language the program knows.
    if (languages.isEmpty() || locale.language() == QLocale::C ||
        languages.front().startsWith(QLatin1String("en")) ||
        languages.front() == QLatin1String("C")) {
        qCInfo(log::gadget) << "texts in English for" << languages;
        return installed;
    }
    auto* own = new QTranslator(&app);
    if (!own->load(locale, QStringLiteral("loadspire"), QStringLiteral("_"),
                   QStringLiteral(":/i18n"))) {
        qCInfo(log::gadget) << "no translation for" << languages << "- texts in English";
        delete own;
        return installed;
    }
    app.installTranslator(own);
    installed.language = own->language();
    // Qt's texts in the same language, when the system has them (an optional package).
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(own->language()), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(qt);
        installed.qtTexts = true;
    } else {
        delete qt;
    }
    qCInfo(log::gadget) << "texts in" << installed.language << "from"
                        << QFileInfo(own->filePath()).fileName()
                        << (installed.qtTexts ? "with Qt's own" : "without Qt's own");
    return installed;
}

}  // namespace lsg
