#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ezedudu {

// What Qt's decoders, and the libraries under them, said while a picture
// was decoded.
struct DecoderMessages {
    std::vector<std::string> warnings; // through Qt, of warning weight or worse
    std::vector<std::string> printed;  // written straight to the standard error stream, a line each

    // A decoder that warns yet succeeds has decoded around damaged data (a
    // JPEG that ends early, a chunk whose checksum is wrong): its first
    // warning, or empty. Qt passes libpng's notes about colour profiles
    // and the like on as less than warnings; they are not damage.
    std::string Damage() const;
    // Why a read failed, in the decoders' words: their first warning, or
    // the last line a library printed; empty when they said nothing.
    std::string Reason() const;
};

// Runs decode, keeping what the decoders say instead of letting them print
// it: Qt's messages from this thread, and whatever is written straight to
// the standard error stream meanwhile (libpng's errors and libtiff's
// messages are printed so), which is taken over for the while. One decode
// at a time runs so, process-wide; Qt's messages from other threads pass on
// as before.
DecoderMessages WhileDecoding(const std::function<void()>& decode);

} // namespace ezedudu
