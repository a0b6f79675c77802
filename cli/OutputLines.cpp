#include "OutputLines.h"

#include <atomic>
#include <iostream>
#include <streambuf>

namespace kelo::cli {

namespace {

// Passes everything on to the stream's own buffer and remembers the last
// character. The live loop's thread writes too, hence the atomic.
class LineTrackingBuffer : public std::streambuf {
public:
    explicit LineTrackingBuffer(std::streambuf* target) : target(target) {}
    bool atLineStart() const { return last == '\n'; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char character = traits_type::to_char_type(c);
        last = character;
        return target->sputc(character);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        if (count > 0) last = text[count - 1];
        return target->sputn(text, count);
    }
    int sync() override { return target->pubsync(); }

private:
    std::streambuf* target;
    std::atomic<char> last{'\n'};
};

// Set once by trackOutputLines.
LineTrackingBuffer* outputLines = nullptr;
LineTrackingBuffer* errorLines = nullptr;

void closeOpenLine(std::ostream& stream, const LineTrackingBuffer* tracker) {
    if (tracker != nullptr && !tracker->atLineStart()) stream.put('\n').flush();
}

}  // namespace

void trackOutputLines() {
    // Never destroyed: the streams are written to and flushed by other
    // objects' destructors until the very end of the process.
    outputLines = new LineTrackingBuffer(std::cout.rdbuf());
    errorLines = new LineTrackingBuffer(std::cerr.rdbuf());
    std::cout.rdbuf(outputLines);
    std::cerr.rdbuf(errorLines);
}

std::ostream& freshLine(std::ostream& out) {
    closeOpenLine(std::cout, outputLines);
    closeOpenLine(std::cerr, errorLines);
    return out;
}

}  // namespace kelo::cli
