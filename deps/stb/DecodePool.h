// Memory that the decodes of several threads draw on together, and what their pictures
// keep of it afterwards: all of the engine's pictures share one. When it runs short, the
// decode that started first of those under way waits for the others to give back what
// they hold, and any later one gives way: it fails, so that what it held comes back, and
// its caller may try it again (AwaitRoom). So decodes take turns and none waits on
// another that waits. A decode short of room with no other under way fails for good: the
// room is held by pictures kept, not by decodes that will end.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>

class DecodeBudget;

class DecodePool {
public:
    explicit DecodePool(long long bytes);
    DecodePool(const DecodePool&) = delete;
    DecodePool& operator=(const DecodePool&) = delete;

    long long Size() const { return size_; }
    long long Left();
    // A decode's place in line, kept over its tries.
    uint64_t Ticket();
    // Bytes that outlived their decode (a picture's pixels) come back.
    void Give(long long bytes);
    // Decodes waiting here look again whether their caller still wants them (*gone).
    void Wake();
    // After a decode gave way: waits until a decode has ended or bytes came back, or until
    // none is under way. False, at once, when *gone holds.
    bool AwaitRoom(const std::atomic<bool>* gone);

private:
    friend class DecodeBudget;
    enum class Answer { Taken, GiveWay, Refused };

    void Enter(uint64_t ticket);
    void Leave(uint64_t ticket);
    Answer Take(long long bytes, uint64_t ticket, const std::atomic<bool>* gone);
    void Return(long long bytes);

    const long long size_;
    std::mutex mutex_;
    std::condition_variable changed_;
    long long left_;
    std::multiset<uint64_t> underWay_;  // the tickets of the decodes under way
    uint64_t nextTicket_ = 0;
    uint64_t ends_ = 0;  // decodes ended and kept bytes given back, so far
};
