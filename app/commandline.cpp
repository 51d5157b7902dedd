// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/commandline.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "about/versioninfo.h"
#include "app/translations.h"
#include "platform/exception.h"
#include "platform/paths.h"

namespace lsg::commandline {

namespace {

bool write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    return std::fflush(stream) == 0 && std::ferror(stream) == 0;
}

// Prints the answer; a full disk or a closed pipe makes it a failure, said on stderr.
int answer(const QString& text) {
    if (write(stdout, text)) {
        return 0;
    }
    const int error = errno;
    write(stderr,
          QStringLiteral("loadspire: cannot write the answer: %1\n").arg(systemErrorText(error)));
    return 1;
}

}  // namespace

Request parse(int argc, const char* const* argv) {
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0) {
            break;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            return Request::Help;
        }
        if (std::strcmp(arg, "--version") == 0) {
            return Request::Version;
        }
    }
    return Request::Run;
}

QString usageText() {
    return QCoreApplication::translate(
        "lsg::commandline",
        "Usage: loadspire [--help | --version]\n"
        "\n"
        "Shows how busy the processor is: a small gadget on the desktop draws the CPU\n"
        "usage of the last ten seconds, and an icon in the notification area carries\n"
        "its menu (also opened by a right click on the gadget).\n"
        "\n"
        "Options:\n"
        "  -h, --help     print this help and exit\n"
        "      --version  print the program's name and version and exit\n"
        "\n"
        "Any other argument is ignored. Place, size and look are kept in settings.ini,\n"
        "beside the program when its folder is writable, otherwise in the user's\n"
        "configuration folder; see loadspire(1).\n");
}

QString versionText(const QString& executable) {
    const TEXEVersionData data = ReadEXEVersionData(executable);
    return data.ProductName + u' ' + formatAppVersion(GetFileVersion(executable));
}

std::optional<int> handle(int argc, const char* const* argv) {
    switch (parse(argc, argv)) {
        case Request::Run:
            return std::nullopt;
        case Request::Help: {
            // The help comes before the program's application object; one made here for the
            // moment reads the user's language.
            char program[] = "loadspire";
            char* arguments[] = {program, nullptr};
            int count = 1;
            QCoreApplication app(count, arguments);
            installTranslations(app);
            return answer(usageText());
        }
        case Request::Version:
            break;
    }
    QString text;
    try {
        text = versionText(platform::executablePath());
    } catch (const Exception& e) {
        QString message = e.message();
        message.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        write(stderr,
              QStringLiteral("loadspire: cannot read the version information: ") + message + u'\n');
        return 1;
    }
    return answer(text + u'\n');
}

}  // namespace lsg::commandline
