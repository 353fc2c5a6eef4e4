#pragma once
// A proxy on 127.0.0.1 between the sync and a test server that spoils one chosen request: cuts the
// connection before or after forwarding it, answers a failing status in the server's place, stalls, or
// sends a body larger than the client's cap, malformed or cut-off XML. Every other request passes. Each
// connection carries one request (answers say "Connection: close"), so that no client retries on its own.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv::test {

class FaultProxy {
public:
    enum class Fault {
        None,
        CutBefore,  // closed without forwarding
        CutAfter,   // forwarded, the answer dropped
        Status412,
        Status401,
        Status403,
        Status404,
        Status500,
        Status507,
        Stall,      // no answer, the connection held open
        Oversized,  // a multistatus body of oversizedBytes
        Malformed,  // a multistatus that is no XML
        Truncated,  // the server's answer cut in half
    };
    static const char* name(Fault f);
    // Whether a fault says anything about a request of this method (XML faults need an XML answer).
    static bool appliesTo(Fault f, const std::string& method);

    FaultProxy(int upstreamPort, std::size_t oversizedBytes);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // From now on, request number `at` (1 = the next one) gets the fault; the count starts afresh.
    void arm(Fault fault, int at);
    int requests() const { return count_; }
    // The methods of the requests since the last arm().
    std::vector<std::string> methods() const;

private:
    void serve();
    void handle(int client);

    int upstreamPort_;
    std::size_t oversized_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    std::atomic<int> at_{0};
    std::atomic<Fault> fault_{Fault::None};
    mutable std::mutex mutex_;
    std::vector<std::string> methods_;
    std::thread thread_;
};

}  // namespace orv::test
