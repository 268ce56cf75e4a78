#pragma once

#include <stdexcept>
#include <string>

namespace ezedudu {

// The one error type of the program: what kind of step failed, and a message
// that names the file and the reason.
class Error : public std::runtime_error {
public:
    enum class Kind {
        MissingFile,       // the picture does not exist
        UnreadablePicture, // not a picture, or corrupt or unsupported data
        PictureTooLarge,   // over the pixel limit
        OutputFailed,      // the NFO file could not be written
        Refused,           // the conversion would overwrite its own input, or hold more memory than it may
        UnreadableFont,    // not a FIGlet or TOIlet font, or a corrupt one
        UndrawableText,    // a logo font lacks a character, draws one code page 437 lacks, or is too wide
    };

    Error(Kind errorKind, const std::string& message) : std::runtime_error(message), kind(errorKind) {}

    Kind GetKind() const { return kind; }

private:
    Kind kind;
};

// The error as every program tells it: over the pixel limit, also how to
// raise it.
inline std::string Explain(const Error& error)
{
    if (error.GetKind() == Error::Kind::PictureTooLarge)
        return std::string(error.what()) + " (raise it with --max-megapixels)";
    return error.what();
}

} // namespace ezedudu
