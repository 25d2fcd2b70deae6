#include "maintenance/ftpclient.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <curl/curl.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo {
namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for the server lasts before the application's events are
// handled again: short enough for smooth repainting.
constexpr std::chrono::milliseconds kPollSlice{20};

void handlePendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// The URL of `path` (relative to the login directory) on the server, or an
// empty text when the settings do not make a valid URL.
QByteArray urlFor(const FtpServerSettings& settings, const QString& path)
{
    bool numeric = false;
    const int port = settings.port.trimmed().toInt(&numeric);
    if (!numeric || port < 1 || port > 65535 || settings.host.isEmpty())
        return {};
    CURLU* url = curl_url();
    QByteArray text;
    char* full = nullptr;
    // The host goes through the URL parser, not into a pasted text, so that a
    // hand-edited value with '/', '@' or blanks cannot change what is reached.
    if (curl_url_set(url, CURLUPART_SCHEME, "ftp", 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_HOST, settings.host.toUtf8().constData(), 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_PORT, QByteArray::number(port).constData(), 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_PATH, ("/" + path).toUtf8().constData(), CURLU_URLENCODE) ==
            CURLUE_OK &&
        curl_url_get(url, CURLUPART_URL, &full, 0) == CURLUE_OK) {
        text = full;
    }
    curl_free(full);
    curl_url_cleanup(url);
    return text;
}

} // namespace

// The libcurl handles of one client and what their callbacks need.
struct FtpClient::Curl {
    CURLM* multi = curl_multi_init();
    CURL* easy = curl_easy_init();
    // Sockets libcurl opened through us, so that abort() can cut them.
    std::set<curl_socket_t> sockets;
    Clock::time_point lastHeard;
    QSaveFile* target = nullptr;
    bool writeFailed = false;

    ~Curl()
    {
        curl_multi_cleanup(multi);
        curl_easy_cleanup(easy);
    }

    static curl_socket_t openSocket(void* self, curlsocktype, curl_sockaddr* address)
    {
        const curl_socket_t fd = ::socket(address->family, address->socktype, address->protocol);
        if (fd != CURL_SOCKET_BAD)
            static_cast<Curl*>(self)->sockets.insert(fd);
        return fd;
    }

    static int closeSocket(void* self, curl_socket_t fd)
    {
        static_cast<Curl*>(self)->sockets.erase(fd);
        return ::close(fd);
    }

    static size_t write(char* data, size_t size, size_t count, void* self)
    {
        auto* curl = static_cast<Curl*>(self);
        const qint64 length = qint64(size * count);
        curl->lastHeard = Clock::now();
        if (!curl->target || curl->target->write(data, length) != length) {
            curl->writeFailed = true;
            return 0;
        }
        return size_t(length);
    }

    // Every reply and every byte of data from the server shows it is alive.
    static int trace(CURL*, curl_infotype type, char*, size_t, void* self)
    {
        if (type == CURLINFO_HEADER_IN || type == CURLINFO_DATA_IN)
            static_cast<Curl*>(self)->lastHeard = Clock::now();
        return 0;
    }

    CURLcode perform(const FtpWaiting& waiting);
};

// Runs one transfer on the multi interface, handling the application's events
// between short waits, until it ends, the server has been silent for the
// time-out, or the caller asks to stop.
CURLcode FtpClient::Curl::perform(const FtpWaiting& waiting)
{
    writeFailed = false;
    lastHeard = Clock::now();
    if (curl_multi_add_handle(multi, easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE)
                    result = message->data.result;
            }
            break;
        }
        if (waiting.shouldAbort && waiting.shouldAbort()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (Clock::now() - lastHeard >= waiting.timeout) {
            result = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        curl_multi_poll(multi, nullptr, 0, int(kPollSlice.count()), nullptr);
        handlePendingEvents();
    }
    // Taking a transfer off before it ended drops its connection without QUIT.
    curl_multi_remove_handle(multi, easy);
    return result;
}

FtpClient::FtpClient(FtpServerSettings settings, FtpWaiting waiting)
    : curl_(std::make_unique<Curl>()), settings_(std::move(settings)), waiting_(std::move(waiting))
{
    CURL* easy = curl_->easy;
    if (!usable())
        return;
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERNAME, settings_.user.toUtf8().constData());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, settings_.password.toUtf8().constData());
    // One CWD with the whole folder, as a client that changes directory once
    // would send; the server either has the folder or leaves us where we were.
    curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    // Active mode: the server connects back to the address of our control connection.
    curl_easy_setopt(easy, CURLOPT_FTPPORT, settings_.passive ? nullptr : "-");
    curl_easy_setopt(easy, CURLOPT_ACCEPTTIMEOUT_MS, long(waiting_.timeout.count()));
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &Curl::openSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, curl_.get());
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &Curl::closeSocket);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, curl_.get());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Curl::write);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, curl_.get());
    // The trace is how the time-out learns that the server answered.
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Curl::trace);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, curl_.get());
}

bool FtpClient::usable() const
{
    return curl_ && curl_->multi && curl_->easy;
}

FtpClient::~FtpClient()
{
    abort();
}

bool FtpClient::connect()
{
    const QByteArray url = urlFor(settings_, QString());
    if (!usable() || url.isEmpty())
        return false;
    curl_easy_setopt(curl_->easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl_->easy, CURLOPT_NOBODY, 1L);
    return curl_->perform(waiting_) == CURLE_OK;
}

void FtpClient::changeDirectory(const QString& folder)
{
    const QByteArray url = urlFor(settings_, folder + u'/');
    if (!usable() || url.isEmpty())
        return;
    curl_easy_setopt(curl_->easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl_->easy, CURLOPT_NOBODY, 1L);
    if (curl_->perform(waiting_) == CURLE_OK)
        folder_ = folder;
}

bool FtpClient::download(const QString& remoteName, const QString& localPath)
{
    const QString path = folder_.isEmpty() ? remoteName : folder_ + u'/' + remoteName;
    const QByteArray url = urlFor(settings_, path);
    if (!usable() || url.isEmpty())
        return false;
    QSaveFile file(localPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    curl_easy_setopt(curl_->easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl_->easy, CURLOPT_NOBODY, 0L);
    // libcurl sends "TYPE I" before the transfer: files arrive unchanged.
    curl_easy_setopt(curl_->easy, CURLOPT_TRANSFERTEXT, 0L);
    curl_->target = &file;
    const bool transferred = curl_->perform(waiting_) == CURLE_OK && !curl_->writeFailed;
    curl_->target = nullptr;
    if (!transferred) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void FtpClient::abort()
{
    if (!curl_)
        return;
    // Shutting the sockets down first makes libcurl's farewell QUIT fail at
    // once instead of waiting for a server that may never reply.
    for (const curl_socket_t fd : curl_->sockets)
        ::shutdown(fd, SHUT_RDWR);
    curl_.reset();
}

} // namespace kelvo
