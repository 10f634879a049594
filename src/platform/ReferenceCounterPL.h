#pragma once
// Shared ownership by counting: every copy of an object points at one heap
// counter; the copy whose destruction brings it to zero frees the counter.
// A derived owner performs its release in its own destructor when
// LastReference() says that no other copy is alive.

class ReferenceCounterPL {
public:
    virtual ~ReferenceCounterPL() {
        if (--*count_ == 0) delete count_;
    }

protected:
    ReferenceCounterPL() : count_(new long(1)) {}
    ReferenceCounterPL(const ReferenceCounterPL& other) noexcept : count_(other.count_) { ++*count_; }
    // Copies share one resource; rebinding a copy to another is not offered.
    ReferenceCounterPL& operator=(const ReferenceCounterPL&) = delete;

    // True while this object is the only copy alive.
    bool LastReference() const noexcept { return *count_ == 1; }

private:
    long* count_;
};
