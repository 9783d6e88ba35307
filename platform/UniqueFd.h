#pragma once
// Sole ownership of a POSIX file descriptor.

namespace elsetry {

// Closes its descriptor when destroyed; -1 means it holds none. Moving hands the descriptor on
// and leaves the source empty, so every descriptor is closed exactly once.
class TUniqueFd {
public:
    TUniqueFd() = default;
    explicit TUniqueFd(int Fd) noexcept : Descriptor(Fd) {}
    ~TUniqueFd() { Reset(); }
    TUniqueFd(const TUniqueFd&) = delete;
    TUniqueFd& operator=(const TUniqueFd&) = delete;
    TUniqueFd(TUniqueFd&& Other) noexcept : Descriptor(Other.Release()) {}
    TUniqueFd& operator=(TUniqueFd&& Other) noexcept
    {
        Reset(Other.Release());
        return *this;
    }

    int Get() const noexcept { return Descriptor; }
    bool Valid() const noexcept { return Descriptor >= 0; }
    // Gives the descriptor up without closing it; the caller owns it now.
    int Release() noexcept;
    // Closes the descriptor held, ignoring errors, and takes Fd instead.
    void Reset(int Fd = -1) noexcept;
    // Closes the descriptor now. False, with errno set, when the close failed: for a file written
    // to, data may then be lost.
    bool Close() noexcept;

private:
    int Descriptor = -1;
};

} // namespace elsetry
