// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/check.h"

#include "core/identity.h"
#include "core/logging.h"
#include "core/serverhost.h"
#include "online/postform.h"
#include "platform/exception.h"
#include "platform/paths.h"
#include "platform/sysinfo.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <thread>
#include <typeinfo>
#include <utility>

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#endif

namespace lsg::check {

namespace {

// The scrambling key's start value and its two step constants.
constexpr std::uint16_t kScrambleStart = 0x4C47;
constexpr std::uint16_t kScrambleMul = 0x6B5D;
constexpr std::uint16_t kScrambleAdd = 0x3A29;
constexpr int kDailyLimit = 5;

// This program's own 128-bit id, the message of the app-specific machine id. Never change it:
// the server would see every machine as a new one.
constexpr unsigned char kApplicationId[16] = {0xb0, 0x73, 0x34, 0x5f, 0x7d, 0x4e, 0x1e, 0x57,
                                              0x2b, 0xff, 0x8c, 0x80, 0x3f, 0xdc, 0x81, 0xa7};

std::uint16_t nextKey(std::uint16_t key, unsigned char scrambled) {
    return static_cast<std::uint16_t>((std::uint32_t(key) + scrambled) * kScrambleMul +
                                      kScrambleAdd);
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

QString typeName(const std::exception& e) {
    if (const auto* own = dynamic_cast<const lsg::Exception*>(&e)) {
        return QString::fromLatin1(own->className());
    }
    const char* raw = typeid(e).name();
#if defined(__GNUG__)
    int status = 0;
    char* demangled = abi::__cxa_demangle(raw, nullptr, nullptr, &status);
    if (status == 0 && demangled != nullptr) {
        QString name = QString::fromLatin1(demangled);
        std::free(demangled);
        return name;
    }
    std::free(demangled);
#endif
    return QString::fromLatin1(raw);
}

QString messageOf(const std::exception& e) {
    if (const auto* own = dynamic_cast<const lsg::Exception*>(&e)) {
        return own->message();
    }
    return QString::fromLocal8Bit(e.what());
}

// The run's failure record: a non-blank message is kept and marks the check as failed.
void record(CheckResults& r, const QString& message) {
    if (message.trimmed().isEmpty()) {
        return;
    }
    if (!r.failureText.isEmpty()) {
        r.failureText += QStringLiteral("\r\r");
    }
    r.failureText += message;
    r.CheckFailed = true;
}

void forgetFailures(CheckResults& r) {
    r.CheckFailed = false;
    r.failureText.clear();
}

enum class Attempt {
    Answered,
    Failed,     // nobody trustworthy answered: a plain retry may reach the server
    Untrusted,  // a peer answered that could not be verified: nothing more is sent
};

// One attempt; the reply, or the failure recorded under the prefix.
Attempt attempt(CheckResults& r, const QString& prefix, const QString& url,
                const QStringList& lines, const CheckConfig& config,
                const std::atomic<bool>& cancel, QString* reply) {
    net::PostOptions options;
    options.caFile = config.caFile;
    options.cancel = &cancel;
    try {
        *reply = net::PostForm(url, lines, config.timeoutMs, options);
        return Attempt::Answered;
    } catch (const net::UntrustedPeerError& e) {
        record(r, prefix + u'\r' + e.message());
        return Attempt::Untrusted;
    } catch (const std::exception& e) {
        record(r, prefix + u'\r' + messageOf(e));
    } catch (...) {
        record(r, prefix + QStringLiteral("\rUnknown error"));
    }
    return Attempt::Failed;
}

// Runs one step of the store's or the reply's processing: a failure skips only the rest of
// that step, and is logged.
template <typename Step>
void ignoringFailure(Step&& step) {
    try {
        step();
    } catch (const std::exception& e) {
        qCInfo(lsg::log::online) << "ignored:" << messageOf(e);
    } catch (...) {
        qCInfo(lsg::log::online) << "ignored: unknown error";
    }
}

}  // namespace

QString ScrambleText(const QString& text) {
    static const char kHex[] = "0123456789ABCDEF";
    QString out;
    std::uint16_t key = kScrambleStart;
    for (const char ch : text.toUtf8()) {
        const auto b = static_cast<unsigned char>(ch);
        const auto c = static_cast<unsigned char>(b ^ (key >> 8));
        out += QLatin1Char(kHex[c >> 4]);
        out += QLatin1Char(kHex[c & 0x0F]);
        key = nextKey(key, c);
    }
    return out;
}

QString UnscrambleText(const QString& hex) {
    const QString upper = hex.toUpper();
    QByteArray plain;
    std::uint16_t key = kScrambleStart;
    for (qsizetype i = 0; i + 1 < upper.size(); i += 2) {
        const int hi = hexDigit(upper[i].unicode());
        const int lo = hexDigit(upper[i + 1].unicode());
        if (hi < 0 || lo < 0) {
            return {};
        }
        const auto c = static_cast<unsigned char>(hi * 16 + lo);
        plain += static_cast<char>(c ^ (key >> 8));
        key = nextKey(key, c);
    }
    return QString::fromUtf8(plain);
}

ReplyFields readReply(const QString& reply) {
    ReplyFields fields;
    const QStringList lines = replyLines(reply);
    if (!lines.isEmpty()) {
        fields.hasVersion = true;
        fields.version = ExtractTag(lines[0], QStringLiteral("version"));
    }
    if (lines.size() >= 2) {
        fields.hasURL = true;
        fields.url = ExtractTag(lines[1], QStringLiteral("url"));
    }
    return fields;
}

bool isMakersSecureAddress(const QString& address, const QString& serverHost) {
    const QUrl server(QStringLiteral("https://") + serverHost, QUrl::StrictMode);
    if (serverHost.isEmpty() || !server.isValid() || server.host().isEmpty()) {
        return false;
    }
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && url.scheme() == u"https" && url.userInfo().isEmpty() &&
           url.host().compare(server.host(), Qt::CaseInsensitive) == 0 &&
           url.port(443) == server.port(443);
}

QString makersDownloadPage(const QString& serverHost) {
    return QStringLiteral("https://") + serverHost + QStringLiteral("/download/");
}

QString appSpecificId(const QString& machineId) {
    if (machineId.isEmpty()) {
        return {};
    }
    // The id is 128 bits written as 32 hexadecimal digits; key with those bits, or with the
    // text itself when a system writes something else there.
    const bool isHex =
        machineId.size() == 32 && std::all_of(machineId.begin(), machineId.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        });
    const QByteArray key = isHex ? QByteArray::fromHex(machineId.toLatin1()) : machineId.toUtf8();
    const QByteArray mac = QMessageAuthenticationCode::hash(
        QByteArray(reinterpret_cast<const char*>(kApplicationId), sizeof kApplicationId), key,
        QCryptographicHash::Sha256);
    const QByteArray hex = mac.left(16).toHex();
    return QString::fromLatin1(hex.left(8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' +
                               hex.mid(16, 4) + '-' + hex.mid(20, 12));
}

bool isOfferedVersion(const QString& latest, const QString& current) {
    if (latest == current) {
        return false;
    }
    QString digits = latest;
    digits.remove(u'.');
    return toInt32(digits, nullptr);
}

CheckConfig defaultCheckConfig(const AppIdentity& identity) {
    CheckConfig c;
    c.appCaption = identity.AppCaption;
    c.appVersion = identity.AppVersion;
    c.serverAddress = lsg::ServerHost() + QStringLiteral("/php/check2.php");
    c.storeBaseFolder = platform::roamingAppDataFolder();
    c.timeoutMs = 10000;
    c.today = [] { return QDate::currentDate(); };
    c.shortDate = [](const QDate& d) { return platform::shortDate(d); };
    c.legacyShortDate = [](const QDate& d) { return platform::legacyShortDate(d); };
    c.caFile = lsg::ServerTrustFile();
    c.osDescription = [] { return platform::osDescription(); };
    // The locale the program had at start-up, not whatever it may become later.
    c.localeCode = [code = platform::localeCode()] { return code; };
    c.machineId = [] { return platform::machineId(); };
    return c;
}

std::jthread TChecker::start(std::shared_ptr<CheckState> state, CheckConfig config) {
    return std::jthread(
        [state = std::move(state), config = std::move(config)] { Execute(*state, config); });
}

namespace {

// The host and port of the server address ("host[:port]/path").
QString makerHost(const CheckConfig& config) {
    return config.serverAddress.section(u'/', 0, 0);
}

// The address the link may open: anyone on the way can write a plain reply (and an earlier run
// may have stored an address taken from one), so those count only when they lead to the maker's
// own host over https. Anything else leads to the maker's download page; no address at all stays
// none (the popup then opens the maker's home page).
QString trustedAddress(const QString& address, const CheckConfig& config) {
    if (address.isEmpty() || isMakersSecureAddress(address, makerHost(config))) {
        return address;
    }
    return makersDownloadPage(makerHost(config));
}

// Steps 1 to 12 of the check; an early return goes straight to the end.
void runCheck(CheckState& state, const CheckConfig& config) {
    CheckResults& r = state.results;
    // 1.
    forgetFailures(r);

    // 2. The store's key.
    QString key;
    try {
        key = md5Key(config.appCaption);
    } catch (...) {
        record(r, QStringLiteral("Error: MD5 generate problem!"));
    }

    // 3. The machine identifier; a missing one is simply empty.
    QString guid;
    try {
        guid = appSpecificId(config.machineId ? config.machineId() : QString());
    } catch (...) {
        record(r, QStringLiteral("Error: GUID generate problem!"));
        guid.clear();
    }

    // 4. The store; its folder is made by the first value written.
    try {
        state.store =
            std::make_unique<UpdateStore>(UpdateStore::folderIn(config.storeBaseFolder, key));
        if (!state.store->open()) {
            record(r, QStringLiteral("Error: Registry open problem!"));
        }
    } catch (...) {
        record(r, QStringLiteral("Error: Registry open problem!"));
    }

    // 5. Reads never fail the check: each falls back to its default.
    QString lastCheck;
    int lastCount = 0;
    if (state.store) {
        ignoringFailure([&] { lastCheck = state.store->readText(UpdateStore::kLastUpdateCheck); });
        ignoringFailure(
            [&] { lastCount = state.store->readNumber(UpdateStore::kLastUpdateCheckCount, 0); });
        ignoringFailure([&] {
            const QString stored = state.store->readText(UpdateStore::kCurrentURL);
            if (!stored.isEmpty()) {
                r.DownloadURL = trustedAddress(UnscrambleText(stored), config);
            }
        });
        ignoringFailure(
            [&] { r.ShowUpdate = state.store->readNumber(UpdateStore::kShowUpdate, 1); });
    }

    // 6.
    if (r.ShowUpdate == 0) {
        return;
    }

    // 7. The daily limit.
    const QDate date = config.today();
    const QString today = config.shortDate(date);
    const bool checkedToday =
        lastCheck == today || (config.legacyShortDate && !lastCheck.isEmpty() &&
                               lastCheck == config.legacyShortDate(date));
    if (checkedToday && lastCount >= kDailyLimit) {
        return;
    }

    // 8., 9. The request: secure first, then once in plain unless a peer answered that could
    // not be verified (whoever answered could answer the plain request too).
    QString reply;
    bool overPlain = false;
    try {
        const QString local = config.localeCode ? config.localeCode() : QString();
        const QStringList lines = {
            QStringLiteral("cmd=check"),
            QStringLiteral("appname=") + config.appCaption,
            QStringLiteral("version=") + config.appVersion,
            QStringLiteral("os=") + (config.osDescription ? config.osDescription() : QString()),
            QStringLiteral("local=") + (local.isEmpty() ? QStringLiteral("xx") : local),
            QStringLiteral("guid=") + guid,
        };
        const Attempt secure = attempt(r, QStringLiteral("HTTPS Response:"),
                                       QStringLiteral("https://") + config.serverAddress, lines,
                                       config, state.cancel, &reply);
        if (secure == Attempt::Failed && !state.cancel.load(std::memory_order_acquire)) {
            overPlain = true;
            if (attempt(r, QStringLiteral("HTTP Response:"),
                        QStringLiteral("http://") + config.serverAddress, lines, config,
                        state.cancel, &reply) == Attempt::Answered) {
                forgetFailures(r);
            }
        }
    } catch (const std::exception& e) {
        record(r, typeName(e) + QStringLiteral(" Error:\r") + messageOf(e));
    } catch (...) {
        record(r, QStringLiteral("Unknown Error:\rUnknown error"));
    }

    // 10. A refusal by the server.
    if (reply.startsWith(QStringLiteral("ERROR"))) {
        record(r, QStringLiteral("INVALIDSERVERRESPONSE"));
    }

    // 11., 12.
    if (!r.CheckFailed) {
        const int count = checkedToday ? lastCount + 1 : 1;
        UpdateStore* store = state.store.get();
        const ReplyFields fields = readReply(reply);
        ignoringFailure([&] {
            if (store == nullptr) {
                return;
            }
            store->writeText(UpdateStore::kLastUpdateCheck, today);
            store->writeNumber(UpdateStore::kLastUpdateCheckCount, count);
        });
        if (fields.hasVersion) {
            ignoringFailure([&] {
                r.LatestVersion = fields.version;
                if (store != nullptr) {
                    store->writeText(UpdateStore::kCurrentVersion, r.LatestVersion);
                }
            });
        }
        if (fields.hasURL) {
            ignoringFailure([&] {
                r.DownloadURL = overPlain ? trustedAddress(fields.url, config) : fields.url;
                if (store != nullptr) {
                    store->writeText(UpdateStore::kCurrentURL, ScrambleText(r.DownloadURL));
                }
            });
        }
        r.NewVersionAvailable = isOfferedVersion(r.LatestVersion, config.appVersion) &&
                                (!checkedToday || count < kDailyLimit);
    }
}

}  // namespace

void TChecker::Execute(CheckState& state, const CheckConfig& config) {
    state.CheckDone.store(false, std::memory_order_relaxed);
    try {
        runCheck(state, config);
    } catch (...) {
        // Whatever happened, the main thread must see the end of the check.
        qCInfo(lsg::log::online) << "the check ended with an unexpected error";
    }
    // 13.
    state.CheckDone.store(true, std::memory_order_release);
}

UpdateCheck::UpdateCheck(CheckConfig config)
    : m_config(std::move(config)), m_state(std::make_shared<CheckState>()) {}

UpdateCheck::~UpdateCheck() {
    m_state->cancel.store(true, std::memory_order_release);
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

TickOutcome UpdateCheck::tick() {
    if (!m_started) {
        m_started = true;
        m_worker = TChecker::start(m_state, m_config);
        return TickOutcome::Started;
    }
    if (m_finished) {
        return TickOutcome::Idle;
    }
    if (!m_state->CheckDone.load(std::memory_order_acquire)) {
        return TickOutcome::Waiting;
    }
    m_finished = true;
    return TickOutcome::Finished;
}

bool UpdateCheck::checkDone() const {
    return m_started && m_state->CheckDone.load(std::memory_order_acquire);
}

const CheckResults* UpdateCheck::results() const {
    static const CheckResults kNone;
    return checkDone() ? &m_state->results : &kNone;
}

bool UpdateCheck::newVersionAvailable() const {
    return results()->NewVersionAvailable;
}
QString UpdateCheck::latestVersion() const {
    return results()->LatestVersion;
}
QString UpdateCheck::downloadURL() const {
    return results()->DownloadURL;
}
int UpdateCheck::showUpdate() const {
    return results()->ShowUpdate;
}
bool UpdateCheck::checkFailed() const {
    return results()->CheckFailed;
}
QString UpdateCheck::failureText() const {
    return results()->failureText;
}

void UpdateCheck::storeShowUpdate(bool on) {
    if (!checkDone()) {
        throw lsg::Exception(QStringLiteral("The update check has not ended yet."));
    }
    if (!m_state->store) {
        m_state->store = std::make_unique<UpdateStore>(
            UpdateStore::folderFor(m_config.storeBaseFolder, m_config.appCaption));
    }
    m_state->store->writeNumber(UpdateStore::kShowUpdate, on ? 1 : 0);
}

}  // namespace lsg::check
