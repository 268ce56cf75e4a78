#include "decoder_messages.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <sstream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ezedudu {
namespace {

constexpr int StderrDescriptor = 2;

#ifdef _WIN32
int Duplicate(int descriptor) { return _dup(descriptor); }
int Redirect(int from, int to) { return _dup2(from, to); }
void Close(int descriptor) { _close(descriptor); }
int DescriptorOf(std::FILE* file) { return _fileno(file); }
#else
int Duplicate(int descriptor) { return dup(descriptor); }
int Redirect(int from, int to) { return dup2(from, to); }
void Close(int descriptor) { close(descriptor); }
int DescriptorOf(std::FILE* file) { return fileno(file); }
#endif

// The decoders' lines may quote bytes of the file: control characters
// become '?', so that they never reach a terminal.
std::string Printable(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text;
}

std::mutex decoding;
std::atomic<QtMessageHandler> previous = nullptr;
thread_local DecoderMessages* kept = nullptr; // the decode running on this thread

void KeepOrPassOn(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (kept) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            kept->warnings.push_back(Printable(message.toStdString()));
        return;
    }
    if (const QtMessageHandler next = previous)
        next(type, context, message);
    else // Qt had no handler installed, or the handlers are changing hands
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// Qt's messages from this thread go to messages while it lives.
class QtMessagesKept {
public:
    explicit QtMessagesKept(DecoderMessages& messages)
    {
        kept = &messages;
        previous = qInstallMessageHandler(KeepOrPassOn);
    }
    ~QtMessagesKept()
    {
        qInstallMessageHandler(previous);
        previous = nullptr;
        kept = nullptr;
    }
    QtMessagesKept(const QtMessagesKept&) = delete;
    QtMessagesKept& operator=(const QtMessagesKept&) = delete;
};

// The standard error stream points into a temporary file while it lives.
// Where no temporary file can be made, it is left as it is.
class StderrTakenOver {
public:
    StderrTakenOver()
    {
        std::fflush(stderr);
        file = std::tmpfile();
        if (!file)
            return;
        saved = Duplicate(StderrDescriptor);
        if (saved >= 0 && Redirect(DescriptorOf(file), StderrDescriptor) >= 0)
            return;
        if (saved >= 0)
            Close(saved);
        saved = -1;
    }
    ~StderrTakenOver()
    {
        GiveBack();
        if (file)
            std::fclose(file);
    }
    StderrTakenOver(const StderrTakenOver&) = delete;
    StderrTakenOver& operator=(const StderrTakenOver&) = delete;

    // Gives the stream back; the first lines written to it meanwhile.
    std::vector<std::string> Lines()
    {
        GiveBack();
        std::vector<std::string> lines;
        if (!file)
            return lines;
        std::string text(4096, '\0');
        std::rewind(file);
        text.resize(std::fread(text.data(), 1, text.size(), file));
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (!line.empty())
                lines.push_back(Printable(line));
        return lines;
    }

private:
    void GiveBack()
    {
        if (saved < 0)
            return;
        std::fflush(stderr);
        Redirect(saved, StderrDescriptor);
        Close(saved);
        saved = -1;
    }

    std::FILE* file = nullptr;
    int saved = -1; // the stream's own descriptor while it is taken over
};

} // namespace

std::string DecoderMessages::Damage() const
{
    return warnings.empty() ? std::string() : warnings.front();
}

std::string DecoderMessages::Reason() const
{
    if (!warnings.empty())
        return warnings.front();
    return printed.empty() ? std::string() : printed.back();
}

DecoderMessages WhileDecoding(const std::function<void()>& decode)
{
    const std::lock_guard one(decoding);
    DecoderMessages messages;
    StderrTakenOver stderrTaken;
    {
        const QtMessagesKept qtMessages(messages);
        decode();
    }
    messages.printed = stderrTaken.Lines();
    return messages;
}

} // namespace ezedudu
