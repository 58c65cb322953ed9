#include "tcpip/Ftp.h"

#include "platform/net/AsyncSelect.h"
#include "tcpip/Address.h"
#include "tcpip/Finally.h"
#include "tcpip/FtpReply.h"
#include "tcpip/TextNumber.h"

#include <algorithm>
#include <utility>

namespace tcpip {

namespace net = platform::net;

namespace {

// Read, write, accept and connect, as Winsock numbers them, and the close as well: the last
// bytes of a download may come with it.
constexpr long kDataEvents = net::FD_READ | net::FD_WRITE | net::FD_ACCEPT | net::FD_CONNECT | net::FD_CLOSE;

constexpr std::int64_t kMaxReservation = 256 * 1024 * 1024;

// Bytes taken per data notification: 1 MB is a few milliseconds on loopback, so a fast
// download cannot keep window input waiting.
constexpr int kDrainPerNotification = 1024 * 1024;

// A download is received straight into DataStream, this much room per read; a listing goes
// through the receive buffer. Uploads are sent from DataStream in pieces of this size.
constexpr int kStreamChunk = 256 * 1024;

} // namespace

T_FTP::T_FTP(QObject* owner)
    : T_TcpIp(owner)
{
}

T_FTP::~T_FTP()
{
    OnTrace = nullptr;
    if (connected_ || ControlSocket != -1) {
        try {
            Disconnect();
        } catch (...) {
        }
    }
}

void T_FTP::SendLine(const std::string& text)
{
    sendCommandLine(text, text);
}

namespace {

void refuseLineBreaks(const std::string& text)
{
    if (text.find_first_of("\r\n") != std::string::npos)
        throw ECommandRefused();
}

} // namespace

void T_FTP::sendCommandLine(const std::string& text, const std::string& traced)
{
    refuseLineBreaks(text);
    try {
        WriteString(ControlSocket, text + "\r\n");
    } catch (const ETcpIpError&) {
        // The control connection is gone: the session is logged out, the next operation logs in.
        if (connected_)
            DropConnection();
        throw;
    }
    Trace(traced, tl_command);
    if (firstReplyPending_ && firstLine_.empty()) {
        firstLine_ = text;
        firstTraced_ = traced;
    }
}

void T_FTP::ReadReply()
{
    const bool first = std::exchange(firstReplyPending_, false);
    try {
        readReply();
    } catch (const EProtocolError& e) {
        if (!first || !farewellRead_ || connected_ || firstLine_.empty())
            throw;
        // The server said farewell before our first command reached it: log in again and send it
        // once more (a second farewell is the operation's failure). A close without a farewell
        // is not retried: the server may have acted on the command before it went away.
        const std::string line = std::exchange(firstLine_, {});
        const std::string traced = std::exchange(firstTraced_, {});
        logInAgain(e.message());
        sendCommandLine(line, traced);
        readReply();
    }
}

void T_FTP::readReply()
{
    farewellRead_ = false;
    // The closed flag is shared with the data connection; a control connection that has really
    // ended reports it again at once.
    closed_ = false;
    ReplyReader reader;
    std::optional<std::chrono::steady_clock::time_point> deadline;
    do {
        std::string line;
        if (!ReadLineChecked(ControlSocket, line, deadline)) {
            if (reader.started()) {
                DropConnection();
                throw ETcpIpError("The server closed the connection in the middle of a reply");
            }
            if (connected_)
                serverHungUp();
            ReplyCode = 999;
            ReplyText.clear();
            throw EProtocolError("FTP", ReplyCode, ReplyText);
        }
        Trace(line, tl_reply);
        reader.addLine(std::move(line));
        if (reader.tooLong()) {
            DropConnection();
            throw ETcpIpError("The server's reply is too long (more than 1 MB)");
        }
    } while (!reader.complete());
    ReplyCode = reader.code();
    ReplyText = reader.text();
    // 421: the server is closing the control connection.
    farewellRead_ = ReplyCode == 421;
    if (ReplyCode == 421 && connected_)
        DropConnection();
    if (ReplyCode >= 400)
        throw EProtocolError("FTP", ReplyCode, ReplyText);
}

void T_FTP::serverHungUp()
{
    DropConnection();
    ReplyCode = 421;
    ReplyText = "The server closed the connection";
    throw EProtocolError("FTP", ReplyCode, ReplyText);
}

void T_FTP::noticeHangUp()
{
    if (!connected_ || ControlSocket == -1 || !HasInput(ControlSocket))
        return;
    // Unasked words: a farewell such as "421 Timeout." before the server closed, or only its
    // close. Either raises here; anything else was said by a server that is still there.
    ReadReply();
}

void T_FTP::Connect()
{
    firstReplyPending_ = false;
    folder_.clear();
    port_ = Port;
    T_TcpIp::Connect();
    ControlSocket = socket_;
    base::raise(OnConnectStep, TConnectStep::LogIn);
    ReadReply();
    if (ExplicitTls)
        secureControl();
    SendLine("USER " + Username);
    ReadReply();
    sendCommandLine("PASS " + Password, "PASS ******");
    ReadReply();
    if (ExplicitTls) {
        SendLine("PBSZ 0");
        ReadReply();
        SendLine("PROT P");
        ReadReply();
    }
    SendLine("TYPE I");
    ReadReply();
    ++logIns_;
}

void T_FTP::Disconnect()
{
    try {
        if (busy_)
            AbortTransfer();
    } catch (const ETcpIpError&) {
    }
    if (connected_) {
        if (ControlSocket != -1) {
            try {
                SendLine("QUIT");
                ReadReply();
            } catch (const ETcpIpError&) {
            }
        }
        if (socket_ != -1 && socket_ != ControlSocket)
            CloseQuietly(socket_);
        socket_ = ControlSocket;
        ControlSocket = -1;
    }
    T_TcpIp::Disconnect();
    if (ControlSocket != -1)
        CloseSocketId(ControlSocket);
    folder_.clear();
    busy_ = false;
    waitForReadable_ = false;
}

void T_FTP::DropConnection()
{
    if (socket_ != -1 && socket_ != ControlSocket)
        CloseSocketId(socket_);
    socket_ = -1;
    CloseSocketId(ControlSocket);
    connected_ = false;
    closed_ = true;
    busy_ = false;
    waitForReadable_ = false;
}

void T_FTP::AbortTransfer()
{
    if (!busy_)
        return;
    SendLine("ABOR");
    try {
        ReadReply();
    } catch (const EProtocolError& e) {
        if (e.ReplyCode != 426)
            throw EProtocolError("FTP", ReplyCode, ReplyText);
        ReadReply();
    }
    busy_ = false;
}

void T_FTP::Execute()
{
    Connect();
    if (Mode != tftp_upload)
        DataStream.clear();
    try {
        switch (Mode) {
        case tftp_download: Retrieve(); break;
        case tftp_upload: Store(); break;
        case tftp_getdir: ListDirectory("."); break;
        }
    } catch (...) {
        Disconnect();
        throw;
    }
    Disconnect();
}

void T_FTP::EnsureLoggedIn()
{
    if (busy_)
        throw EProtocolBusy();
    firstReplyPending_ = false;
    firstLine_.clear();
    firstTraced_.clear();
    // A server that hung up while we were idle (a 421 on its idle timeout, or only its close)
    // has been sent nothing of this operation yet: log in again and carry on.
    std::string farewell;
    try {
        noticeHangUp();
    } catch (const EProtocolError& e) {
        if (connected_)
            throw;
        farewell = e.message();
    }
    if (!connected_)
        logInAgain(farewell);
}

void T_FTP::beginOperation()
{
    EnsureLoggedIn();
    firstReplyPending_ = true;
}

void T_FTP::logInAgain(const std::string& farewell)
{
    // Kept whatever happens: a log-in that fails now (the server still away) must not send a
    // later one to the log-in folder instead.
    const std::string folder = folder_;
    try {
        Connect();
    } catch (...) {
        folder_ = folder;
        throw;
    }
    if (!folder.empty()) {
        try {
            SendLine("CWD " + folder);
            ReadReply();
        } catch (const EProtocolError& e) {
            // Logged in but elsewhere: carrying on would act in the log-in folder.
            DropConnection();
            folder_ = folder;
            throw EProtocolError("FTP", e.ReplyCode,
                                 "Logged in again, but the folder \"" + folder + "\" cannot be reached: " + e.message());
        } catch (...) {
            folder_ = folder;
            throw;
        }
    }
    folder_ = folder;
    if (!farewell.empty())
        base::raise(OnReconnected, "Reconnected: the server had closed the connection (" + farewell
                                       + "); logged in again" + (folder.empty() ? "" : " and back in " + folder));
}

void T_FTP::SendCommand(const std::string& line)
{
    beginOperation();
    SendLine(line);
    ReadReply();
}

void T_FTP::ChangeDir(const std::string& directory)
{
    SendCommand("CWD " + directory);
    folder_ = JoinFolder(folder_, directory);
}

std::string T_FTP::CurrentFolder()
{
    SendCommand("PWD");
    const std::optional<std::string> folder = ParseFolderReply(ReplyText);
    if (!folder)
        throw EProtocolError("FTP", 999, "The server did not name its current folder: " + ReplyText);
    return *folder;
}

void T_FTP::DeleteFile(const std::string& name)
{
    SendCommand("DELE " + name);
}

void T_FTP::RemoveDir(const std::string& name)
{
    SendCommand("RMD " + name);
}

void T_FTP::MakeDir(const std::string& name)
{
    SendCommand("MKD " + name);
}

void T_FTP::RenameFile(const std::string& oldName, const std::string& newName)
{
    // Both lines are checked before the first goes: a lone RNFR would leave the server waiting.
    refuseLineBreaks(newName);
    SendCommand("RNFR " + oldName);
    SendLine("RNTO " + newName);
    ReadReply();
}

void T_FTP::GetDirEntry(t_filedata& entry)
{
    entry = t_filedata{};
    while (listingCursor_ < ListingLines.count()
           && (entry.type == ft_none || entry.name == "." || entry.name == "..")) {
        ParseListingLine(ListingLines.get(listingCursor_), entry);
        ++listingCursor_;
    }
}

void T_FTP::OpenDataConnection()
{
    if (socket_ != -1 && socket_ != ControlSocket)
        CloseSocketId(socket_);
    socket_ = -1;
    dataListening_ = dataConnected_ = dataFailed_ = false;
    if (Passive) {
        SendLine("PASV");
        ReadReply();
        if (ReplyCode != 227)
            throw EProtocolError("FTP", ReplyCode, ReplyText);
        const auto passive = ParsePassiveReply(ReplyText);
        if (!passive) {
            Trace("No address in the passive reply; no data connection", tl_socket);
            return;
        }
        // Only ever the server itself: a reply naming another host must not send us there.
        const std::uint32_t server = PeerAddressOf(ControlSocket);
        if (passive->address != server)
            Trace("Passive reply named " + AddressToText(passive->address) + "; connecting to the server at "
                      + AddressToText(server) + " instead",
                  tl_socket);
        address_ = server;
        socket_ = CreateSocket();
        if (socket_ == -1)
            return;
        if (Async)
            Select(socket_, WM_SOCKET_DATA, kDataEvents);
        ConnectSocket(socket_, passive->port, address_);
        dataConnected_ = socket_ != -1 && SocketState(socket_) == ss_connected && !ExplicitTls;
        return;
    }
    // Active: listen where the server reaches us (the control connection's own address) on a
    // port the system picks, and tell the server.
    const std::uint32_t local = LocalAddressOf(ControlSocket);
    BindListen(socket_, 0, local);
    if (socket_ == -1)
        return;
    dataListening_ = true;
    SendLine(PortCommand(local, LocalPort(socket_)));
    try {
        ReadReply();
    } catch (...) {
        CloseSocketId(socket_);
        dataListening_ = false;
        throw;
    }
    if (Async)
        Select(socket_, WM_SOCKET_DATA, kDataEvents);
}

void T_FTP::acceptActiveConnection()
{
    if (!dataListening_ || socket_ == -1)
        return;
    const std::uint32_t server = PeerAddressOf(ControlSocket);
    for (;;) {
        WaitOrRaise(socket_, Direction::Read);
        sockaddr_in peer{};
        TSocket accepted = AcceptIncoming(socket_, peer);
        if (accepted == -1)
            continue;
        if (peer.sin_addr.s_addr != server) {
            Trace("Refused a data connection from " + AddressToText(peer.sin_addr.s_addr), tl_socket);
            CloseSocketId(accepted);
            continue;
        }
        CloseSocketId(socket_);
        socket_ = accepted;
        dataListening_ = false;
        dataConnected_ = true;
        secureDataSocket();
        return;
    }
}

bool T_FTP::acceptOrFinalReply()
{
    if (dataListening_ && socket_ != -1 && WaitForEitherReadable(socket_, ControlSocket) == 1) {
        // No connection came and the server has answered: a "425" ends the call here.
        closeDataSocket();
        readFinalReply();
        return false;
    }
    acceptActiveConnection();
    return true;
}

void T_FTP::readFinalReply()
{
    if (finalReplyRead_)
        return;
    closed_ = false;
    try {
        ReadReply();
    } catch (const EProtocolError& e) {
        if (ExplicitTls && e.ReplyCode == 522)
            raiseDataRefusal(e);
        throw;
    }
    finalReplyRead_ = true;
}

void T_FTP::raiseDataReceived(std::int64_t count)
{
    try {
        base::raise(OnDataReceived, this, transferMode_, count);
    } catch (...) {
        endedHere_ = true;
        throw;
    }
}

void T_FTP::raiseActionComplete(t_ftp_mode mode)
{
    try {
        base::raise(OnActionComplete, this, mode);
    } catch (...) {
        endedHere_ = true;
        throw;
    }
    busy_ = false;
}

template <typename Steps>
void T_FTP::runTransfer(Steps&& steps)
{
    try {
        steps();
    } catch (...) {
        if (endedHere_ && busy_) {
            // The handler's (or the limit's) exception is the one to report; the session only
            // has to be whole.
            endedHere_ = false;
            closeDataSocket();
            try {
                readFinalReply();
            } catch (const ETcpIpError&) {
            }
            busy_ = false;
        }
        throw;
    }
}

void T_FTP::waitDataConnected()
{
    if (!Async || socket_ == -1)
        return;
    if (!PumpUntil([this] { return dataConnected_ || dataFailed_ || socket_ == -1; }))
        RaiseTimeout(Direction::Read);
}

void T_FTP::startTransfer(t_ftp_mode mode)
{
    transferMode_ = mode;
    busy_ = true;
    finalReplyRead_ = endedHere_ = false;
    // Servers secure the data connection once the transfer command is under way (pyftpdlib
    // leaves a handshake that came earlier unanswered); an active one is secured at its accept.
    secureDataSocket();
}

void T_FTP::awaitFinalReply()
{
    if (!Async) {
        if (acceptOrFinalReply())
            while (ReadDataChunk()) {
            }
        readFinalReply();
        return;
    }
    Select(ControlSocket, WM_SOCKET_CONTROL, net::FD_READ);
    closed_ = false;
    waitForReadable_ = true;
    Finally done([this] {
        waitForReadable_ = false;
        if (ControlSocket != -1)
            Select(ControlSocket, WM_SOCKET_CONTROL, 0);
    });
    readFinalReply();
}

void T_FTP::closeDataSocket()
{
    if (socket_ == -1 || socket_ == ControlSocket)
        return;
    net::shutdown(socket_, net::SD_SEND);
    CloseSocketId(socket_);
    dataListening_ = dataConnected_ = false;
}

char* T_FTP::receiveRoom(int& size)
{
    if (transferMode_ == tftp_download) {
        size = kStreamChunk;
        return DataStream.appendRoom(static_cast<std::size_t>(size));
    }
    size = kReceiveBufferSize;
    return ReceiveBuffer.data();
}

void T_FTP::storeChunk(int count)
{
    if (count <= 0)
        return;
    if (transferMode_ == tftp_download)
        DataStream.commitAppend(static_cast<std::size_t>(count));
    else if (transferMode_ == tftp_getdir) {
        if (static_cast<std::size_t>(ListingStream.size()) + static_cast<std::size_t>(count) > ListingLimit) {
            endedHere_ = true;
            throw ETcpIpError("The folder's listing is larger than " + ByteLimitText(ListingLimit)
                              + "; it was not read");
        }
        ListingStream.write(ReceiveBuffer.data(), static_cast<std::size_t>(count));
    }
}

bool T_FTP::ReadDataChunk()
{
    if (socket_ == -1 || dataListening_)
        return false;
    int size = 0;
    char* room = receiveRoom(size);
    int count = 0;
    ReadData(socket_, room, count, size);
    storeChunk(count);
    if (count <= 0)
        answerDataEnd();
    raiseDataReceived(count);
    return count > 0;
}

// A read notification: take what is there without waiting, a read at a time, so that one
// message carries up to kDrainPerNotification bytes instead of one read (the event loop still
// turns between them for input and timers). The end of the data is left to the finish routine.
void T_FTP::receiveNotified()
{
    for (int taken = 0; taken < kDrainPerNotification;) {
        if (socket_ == -1 || dataListening_)
            return;
        int size = 0;
        char* room = receiveRoom(size);
        const int count = ReceiveOnce(socket_, room, size);
        if (count == 0)
            answerDataEnd();
        if (count <= 0)
            return;
        storeChunk(count);
        raiseDataReceived(count);
        taken += count;
        // A short read has emptied the socket: the next recv would only report that.
        if (count < size)
            return;
    }
}

bool T_FTP::SendDataChunk()
{
    if (socket_ == -1 || dataListening_)
        return false;
    // Straight from the file a stream was loaded from, or from the stream's memory: no copy
    // into a buffer either way.
    const auto position = static_cast<std::size_t>(DataStream.position());
    const std::string_view rest = DataStream.data().substr(std::min(position, DataStream.data().size()));
    const auto count = std::min<std::size_t>(rest.size(), kStreamChunk);
    if (count == 0)
        return false;
    if (DataStream.sourceFile() != -1)
        WriteFileData(socket_, DataStream.sourceFile(), static_cast<std::int64_t>(position), static_cast<int>(count));
    else
        WriteData(socket_, rest.data(), static_cast<int>(count));
    DataStream.seek(static_cast<std::int64_t>(count), base::SeekOrigin::Current);
    return true;
}

void T_FTP::SocketWindowProc(unsigned message, net::WPARAM wParam, net::LPARAM lParam)
{
    if (message != WM_SOCKET_DATA) {
        T_TcpIp::SocketWindowProc(message, wParam, lParam);
        return;
    }
    if (static_cast<TSocket>(wParam) != socket_ || socket_ == -1)
        return;
    const int error = net::WSAGETSELECTERROR(lParam);
    switch (net::WSAGETSELECTEVENT(lParam)) {
    case net::FD_READ:
    case net::FD_CLOSE:
        if (transferMode_ != tftp_upload)
            receiveNotified();
        break;
    case net::FD_WRITE:
        writable_ = true;
        dataConnected_ = true;
        break;
    case net::FD_CONNECT:
        dataConnected_ = error == 0;
        dataFailed_ = error != 0;
        writable_ = true;
        break;
    case net::FD_ACCEPT: {
        sockaddr_in peer{};
        const TSocket accepted = AcceptIncoming(socket_, peer);
        if (accepted == -1)
            break;
        if (peer.sin_addr.s_addr != PeerAddressOf(ControlSocket)) {
            Trace("Refused a data connection from " + AddressToText(peer.sin_addr.s_addr), tl_socket);
            TSocket refused = accepted;
            CloseSocketId(refused);
            break;
        }
        CloseSocketId(socket_);
        socket_ = accepted;
        dataListening_ = false;
        // Over TLS the handshake's end (FD_CONNECT) makes it usable.
        dataConnected_ = !ExplicitTls;
        Select(socket_, WM_SOCKET_DATA, kDataEvents);
        secureDataSocket();
        break;
    }
    default:
        break;
    }
}

void T_FTP::ListDirectory(const std::string& directory)
{
    beginOperation();
    if (directory.empty())
        return;
    OpenDataConnection();
    try {
        SendLine("TYPE A");
        ReadReply();
        SendLine("LIST " + directory);
        ReadReply();
    } catch (...) {
        closeDataSocket();
        throw;
    }
    startTransfer(tftp_getdir);
    ListingStream.clear();
    runTransfer([this] {
        awaitFinalReply();
        FinishListing();
    });
}

void T_FTP::FinishListing()
{
    closed_ = false;
    acceptActiveConnection();
    readRestWithoutNotifications();
    while (ReadDataChunk()) {
    }
    closed_ = false;
    closeDataSocket();
    SendLine("TYPE I");
    ReadReply();
    ListingLines.setText(ListingStream.data());
    ListingStream.clear();
    listingCursor_ = 0;
    raiseActionComplete(tftp_getdir);
}

void T_FTP::Retrieve()
{
    beginOperation();
    if (URI.empty())
        return;
    try {
        SendLine("SIZE " + URI);
        ReadReply();
        TransferSize = std::max<std::int64_t>(ToNumber64(ReplyText).value_or(0), 0);
    } catch (const EProtocolError&) {
        TransferSize = 0;
    }
    OpenDataConnection();
    try {
        SendLine("RETR " + URI);
        ReadReply();
    } catch (...) {
        closeDataSocket();
        throw;
    }
    startTransfer(tftp_download);
    DataStream.clear();
    // Room for the announced size at once: growing a large file chunk by chunk would copy it
    // again and again (the stream keeps its room when cut back to empty). Bounded, so that a
    // wrong SIZE answer cannot claim gigabytes before a byte has come.
    if (TransferSize > 0) {
        DataStream.reserve(static_cast<std::size_t>(std::min<std::int64_t>(TransferSize, kMaxReservation)));
    }
    runTransfer([this] {
        awaitFinalReply();
        FinishRetrieve();
    });
}

void T_FTP::FinishRetrieve()
{
    acceptActiveConnection();
    readRestWithoutNotifications();
    while (ReadDataChunk()) {
    }
    closed_ = false;
    closeDataSocket();
    DataStream.setPosition(0);
    raiseActionComplete(tftp_download);
}

void T_FTP::Store()
{
    beginOperation();
    if (URI.empty())
        return;
    OpenDataConnection();
    try {
        SendLine("STOR " + URI);
        ReadReply();
    } catch (...) {
        closeDataSocket();
        throw;
    }
    startTransfer(tftp_upload);
    TransferSize = static_cast<std::int64_t>(DataStream.size());
    DataStream.setPosition(0);
    runTransfer([this] {
        if (!Async && !acceptOrFinalReply()) {
            FinishStore();
            return;
        }
        waitDataConnected();
        if (Async) {
            Select(ControlSocket, WM_SOCKET_CONTROL, net::FD_READ);
            Finally done([this] {
                if (ControlSocket != -1)
                    Select(ControlSocket, WM_SOCKET_CONTROL, 0);
            });
            FinishStore();
            return;
        }
        FinishStore();
    });
}

void T_FTP::FinishStore()
{
    try {
        awaitDataSecured();
        while (SendDataChunk()) {
        }
        if (ExplicitTls)
            finishSecureUpload();
    } catch (const ETcpIpError&) {
        // The data connection broke: the control connection tells how the transfer ended (a
        // server that has gone logs the session out; a failure reply leaves it busy).
        closeDataSocket();
        try {
            readFinalReply();
            busy_ = false;
        } catch (const EProtocolError&) {
            // Over TLS the server's reply says why it dropped the connection (522).
            if (ExplicitTls)
                throw;
        } catch (const ETcpIpError&) {
        }
        throw;
    }
    closed_ = false;
    closeDataSocket();
    waitForReadable_ = true;
    Finally done([this] { waitForReadable_ = false; });
    readFinalReply();
    raiseActionComplete(tftp_upload);
}

} // namespace tcpip
