// One GET through the internet client on a thread of its own, its pieces
// handed over as they arrive, so that the one who asked can always walk
// away. Cancel closes the request from the caller's thread, which on
// Windows ends a blocked read at once; where the client does not give up
// (Wine keeps waiting, and its timeouts do not cover a read), the reading
// thread is left to end on its own with only what it shares with the
// reader, and the caller goes on at once. Every request goes to the
// network, never to the cache, with connect, send and receive timeouts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class CInternetReader {
public:
    enum EEvent {
        kData,      // a piece of the body
        kEnd,       // the body is complete as the connection saw it
        kFailed,    // ErrorCode() says why
        kCanceled,
    };
    struct CHead {
        DWORD nStatus = 0;         // the HTTP status, 0 for other protocols
        bool bHasLength = false;   // the server said how long the body is
        std::uint64_t nLength = 0;
    };
    // Timeouts of the internet client.
    static constexpr DWORD kConnectTimeoutMs = 20000;
    static constexpr DWORD kReceiveTimeoutMs = 30000;
    // Pieces are read 512 bytes at a time.
    static constexpr DWORD kChunkSize = 512;

    CInternetReader();
    ~CInternetReader();
    CInternetReader(const CInternetReader&) = delete;
    CInternetReader& operator=(const CInternetReader&) = delete;

    // Starts the request; false when the thread cannot start or this reader
    // has made its request already.
    bool Start(const std::string& strUrl);
    // Waits for the answer's head: kData when it came (`head` filled),
    // otherwise kFailed or kCanceled.
    EEvent WaitHead(CHead& head);
    // Waits for the next piece of the body.
    EEvent Next(std::string& strPiece);
    // The internet client's error code of a kFailed.
    DWORD ErrorCode() const;
    // From any thread: every wait ends with kCanceled from now on.
    void Cancel();

    struct CShared;

private:
    std::shared_ptr<CShared> m_pShared;
};

// The internet client's own words for an error, at most 255 characters.
std::string InternetErrorText(DWORD nError);
