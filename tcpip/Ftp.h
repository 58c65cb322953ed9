#pragma once
// T_FTP: an FTP session on one control connection, with a fresh data connection (passive by
// default, active on request) for every transfer. Every operation returns when the server's
// final reply has been read and raises EProtocolError for a reply code of 400 or more.
//
// States: logged out (ControlSocket -1) -> logged in, idle -> transfer under way (Busy()) from
// the transfer command's preliminary reply until its finish routine has raised
// OnActionComplete. Meanwhile every operation except GetDirEntry and ReadReply raises
// EProtocolBusy. A transfer whose final reply fails stays busy until the next log-out. A handler
// (OnDataReceived, OnActionComplete) that throws, or a listing past ListingLimit, ends the
// transfer: the data connection is closed, the final reply read, busy cleared, and the
// exception leaves the transfer call.
//
// A server that hangs up (a 421 reply, or the control connection's end or reset) logs the
// session out. Noticed before an operation has sent anything (the server hung up while the
// session was idle), the operation logs in again, goes back to its folder, carries on and
// raises OnReconnected. So does a farewell that comes as the answer to the operation's first
// command (the server's idle timeout crossed it): the command is sent once more after the new
// log-in. Noticed later in an exchange, the operation raises EProtocolError with the server's
// last words. Any operation on a logged-out session logs in first and then changes back to the
// folder that ChangeDir had reached (Connect and Disconnect forget that folder). The folder is
// kept when that log-in fails; when the folder cannot be reached the session logs out again
// and the operation raises EProtocolError ("Logged in again, but the folder ... cannot be
// reached: ..."), so nothing ever acts in the log-in folder by mistake.
//
// With Async set, transfers are driven by data-socket notifications while the call waits for
// the final reply by turning the event loop (window commands, timers and input run inside);
// without it the call sleeps on its sockets and the event loop does not turn.
//
// With ExplicitTls the log-in secures the control connection before anything else is sent
// (AUTH TLS, the handshake, then USER and PASS, PBSZ 0, PROT P), and every data connection is
// TLS too, offering the control connection's session for resumption. A server that refuses
// AUTH TLS, or a certificate that does not verify, ends the log-in: nothing is ever sent in
// clear after the greeting.
#include <cstdint>
#include <string>

#include "base/StringList.h"
#include "tcpip/ListingParser.h"
#include "tcpip/TcpIp.h"

namespace tcpip {

enum t_ftp_mode : std::uint8_t { tftp_download = 0, tftp_upload = 1, tftp_getdir = 2 };

// (Sender, mode, bytes read; 0 or less at the end of the data)
constexpr std::size_t kListingLimit = std::size_t{ 64 } << 20;

using TDataTransferProc = base::Event<QObject*, t_ftp_mode, std::int64_t>;
using TFTPActionCompleteProc = base::Event<QObject*, t_ftp_mode>;

class T_FTP : public T_TcpIp {
public:
    explicit T_FTP(QObject* owner = nullptr);
    // Logs out when logged in (nothing is traced).
    ~T_FTP() override;

    std::string URI;
    std::string Password = "guestx@noplace";
    std::string Username = "ftp";
    bool Passive = true;
    std::uint16_t Port = 21;
    t_ftp_mode Mode = tftp_download;
    TDataTransferProc OnDataReceived;
    TFTPActionCompleteProc OnActionComplete;
    // One line for the user after an operation logged in again by itself.
    base::Event<const std::string&> OnReconnected;
    bool Async = false;
    // FTP over TLS (see above); CaFile: an extra CA trusted beside the system store.
    bool ExplicitTls = false;
    std::string CaFile;

    // The last reply: its code (999 when its first three characters are no number, or when
    // no reply came) and its first line from the fifth character on.
    int ReplyCode = 0;
    std::string ReplyText;
    TSocket ControlSocket = -1;
    base::StringList ListingLines;
    // The SIZE answer of a download (0 when unknown), the stream size of an upload.
    std::int64_t TransferSize = 0;
    base::MemoryStream ListingStream;
    // A listing of more bytes ends its transfer like a failing handler, with ETcpIpError "The
    // folder's listing is larger than 64 MB; it was not read": a server cannot fill our memory.
    // (Downloads have no limit here: their receiver drains DataStream or sets its own.)
    std::size_t ListingLimit = kListingLimit;

    bool Busy() const { return busy_; }
    t_ftp_mode TransferMode() const { return transferMode_; }

    // Connect, then by Mode: Retrieve, Store or ListDirectory("."); always log out at the end.
    void Execute() override;
    // Sends text and CR LF, traced; ECommandRefused (nothing sent) when text holds CR or LF,
    // whoever the caller.
    void SendLine(const std::string& text) override;
    // Log-in: greeting, USER, PASS (traced as "PASS ******"), TYPE I.
    void Connect() override;
    // Log-out: ABOR when busy, QUIT, close everything. Always ends logged out; a failing
    // exchange with a server that has gone does not stop it.
    void Disconnect() override;

    // One command and its reply under the operation rules: EProtocolBusy during a transfer, a
    // log-in first (and back to the folder) when logged out.
    void SendCommand(const std::string& line);
    void ListDirectory(const std::string& directory);
    void Retrieve();
    void Store();
    void ChangeDir(const std::string& directory);
    void DeleteFile(const std::string& name);
    void RemoveDir(const std::string& name);
    void MakeDir(const std::string& name);
    void RenameFile(const std::string& oldName, const std::string& newName);
    // The next entry of the last listing, skipping "." and ".." where it can; type 0 when the
    // listing is exhausted.
    void GetDirEntry(t_filedata& entry);
    // Reads one whole reply (all lines of a multi-line one) and then raises for a code of 400
    // or more. No reply at all gives code 999 with an empty text; a connection that ends in
    // the middle of a multi-line reply raises ETcpIpError.
    void ReadReply();
    // The folder the session's ChangeDir calls have reached from the log-in folder ("" there):
    // absolute when one of them was, else relative to the log-in folder.
    const std::string& Folder() const { return folder_; }
    // What every operation does first: a hang-up noticed while idle logs in again (back in the
    // folder, OnReconnected raised), a logged-out session logs in. Raises EProtocolBusy during
    // a transfer. For a caller that must know the log-in before it chooses its commands.
    void EnsureLoggedIn();
    // Log-ins completed so far, the automatic ones included: what a server was asked once per
    // log-in (FEAT, OPTS) must be asked again when this has moved.
    unsigned LogIns() const { return logIns_; }
    // PWD under the operation rules: the server's absolute current folder. Raises EProtocolError
    // (code 999) when the reply names none (ParseFolderReply).
    std::string CurrentFolder();
    // Only when busy (after a failed transfer): ABOR, and its reply. A reply below 400, or a 426
    // followed by its second reply, ends the transfer (busy cleared).
    void AbortTransfer();

protected:
    void SocketWindowProc(unsigned message, platform::net::WPARAM wParam, platform::net::LPARAM lParam) override;
    void DropConnection() override;

private:
    // SendLine, tracing traced instead of the line (the password stays off the trace).
    void sendCommandLine(const std::string& text, const std::string& traced);
    void beginOperation();
    // Logs in again after a hang-up and goes back to the folder ChangeDir had reached.
    void logInAgain(const std::string& farewell);
    void readReply();
    // Before a command: reads what the server said unasked; a farewell or the connection's
    // end raises (and logs out) here instead of in the middle of the next exchange.
    void noticeHangUp();
    [[noreturn]] void serverHungUp();
    // Runs the steps of a transfer after its preliminary reply; settles a handler's failure.
    template <typename Steps>
    void runTransfer(Steps&& steps);
    void raiseDataReceived(std::int64_t count);
    void raiseActionComplete(t_ftp_mode mode);
    // Synchronous active mode: the server's data connection or, when the control connection
    // speaks first (e.g. "425"), the final reply. False when it was the final reply.
    bool acceptOrFinalReply();
    void readFinalReply();
    void OpenDataConnection();
    // Active mode: waits for the server's data connection (from the server's address only)
    // unless it has been accepted already. Asynchronous transfers accept on the notification,
    // and here when the final reply came before that notification was handled.
    void acceptActiveConnection();
    void waitDataConnected();
    void startTransfer(t_ftp_mode mode);
    void awaitFinalReply();
    void closeDataSocket();
    // AUTH TLS and the handshake, before USER (FtpTls.cpp).
    void secureControl();
    // TLS on the new data connection (connected, or connecting and selected).
    void secureDataSocket();
    // Before the first byte of an upload: the data connection's handshake has completed.
    void awaitDataSecured();
    // The finish routine reads what is left by waiting on the data socket itself: a TLS socket
    // still selected would move its records only from the event loop, which does not turn.
    void readRestWithoutNotifications();
    // The end of a download's data: over TLS the server's close_notify is answered at once
    // (vsftpd waits for ours before it sends the final reply).
    void answerDataEnd();
    // After an upload's last chunk over TLS: every record out, close_notify, then the server's
    // own end (closing with its records unread would reset the connection, and the server
    // could lose the bytes it has not read yet).
    void finishSecureUpload();
    // A refusal of the data connection's TLS (522) in words the user can act on.
    [[noreturn]] void raiseDataRefusal(const EProtocolError& e);
    bool ReadDataChunk();
    bool SendDataChunk();
    void receiveNotified();
    // Where the next read goes and how much it may take: DataStream's own room for a download.
    char* receiveRoom(int& size);
    void storeChunk(int count);
    void FinishListing();
    void FinishRetrieve();
    void FinishStore();

    t_ftp_mode transferMode_ = tftp_download;
    bool busy_ = false;
    std::size_t listingCursor_ = 0;
    bool dataListening_ = false; // the data socket is the active-mode listener
    bool dataConnected_ = false;
    bool dataFailed_ = false;
    bool finalReplyRead_ = false;
    // A handler, or the listing limit, ended the transfer on this side.
    bool endedHere_ = false;
    std::string folder_;
    // The running operation's first command line (with its traced form) until its reply has
    // come: a server whose idle timeout crossed it answers with its farewell, having done nothing.
    unsigned logIns_ = 0;
    bool firstReplyPending_ = false;
    bool farewellRead_ = false; // the last reply read was the server's own 421
    std::string firstLine_;
    std::string firstTraced_;
};

} // namespace tcpip
