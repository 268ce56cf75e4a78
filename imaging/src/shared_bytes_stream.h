#pragma once

#include <istream>
#include <memory>
#include <streambuf>
#include <string>

namespace ezedudu {

// Reads bytes that stay in memory, shared by every reader, without a copy.
class SharedBytesBuffer : public std::streambuf {
public:
    explicit SharedBytesBuffer(std::shared_ptr<const std::string> shared) : bytes(std::move(shared))
    {
        // The get area is never written through; streambuf just wants char*.
        char* start = const_cast<char*>(bytes->data());
        setg(start, start, start + bytes->size());
    }

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir from, std::ios_base::openmode) override
    {
        const off_type base = from == std::ios_base::beg ? 0
                              : from == std::ios_base::cur ? gptr() - eback()
                                                           : egptr() - eback();
        return seekpos(pos_type(base + offset), std::ios_base::in);
    }

    pos_type seekpos(pos_type position, std::ios_base::openmode) override
    {
        if (position < 0 || off_type(position) > egptr() - eback())
            return pos_type(off_type(-1));
        setg(eback(), eback() + off_type(position), egptr());
        return position;
    }

private:
    std::shared_ptr<const std::string> bytes;
};

// The buffer is a base listed first, so it exists before the stream is
// given it.
class SharedBytesStream : private SharedBytesBuffer, public std::istream {
public:
    explicit SharedBytesStream(std::shared_ptr<const std::string> shared)
        : SharedBytesBuffer(std::move(shared)), std::istream(this)
    {
    }
};

} // namespace ezedudu
