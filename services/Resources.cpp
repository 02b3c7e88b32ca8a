#include "services/Resources.h"

#include <map>
#include <mutex>
#include <stdexcept>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::mutex openedMutex;
std::map<std::string, TResourceBytes, std::less<>> openedResources;

}  // namespace

TInflateStreamBuf::TInflateStreamBuf(TResourceBytes source) : FBuffer(kChunk) {
    FZ.next_in = const_cast<Bytef*>(source.data);
    FZ.avail_in = static_cast<uInt>(source.size);
    if (inflateInit(&FZ) != Z_OK) {
        FFailed = true;
        FEnded = true;
        FError = "cannot initialise the inflater";
    }
    setg(FBuffer.data(), FBuffer.data(), FBuffer.data());
}

TInflateStreamBuf::~TInflateStreamBuf() {
    inflateEnd(&FZ);
}

TInflateStreamBuf::int_type TInflateStreamBuf::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    while (!FEnded) {
        FZ.next_out = reinterpret_cast<Bytef*>(FBuffer.data());
        FZ.avail_out = static_cast<uInt>(FBuffer.size());
        const int result = inflate(&FZ, Z_NO_FLUSH);
        const std::size_t produced = FBuffer.size() - FZ.avail_out;
        if (result == Z_STREAM_END) {
            FEnded = true;
        } else if (result != Z_OK) {
            FEnded = true;
            FFailed = true;
            FError = FZ.msg ? FZ.msg : "damaged compressed data";
        } else if (produced == 0 && FZ.avail_in == 0) {
            FEnded = true;
            FFailed = true;
            FError = "compressed data ends early";
        }
        if (produced > 0) {
            setg(FBuffer.data(), FBuffer.data(), FBuffer.data() + produced);
            return traits_type::to_int_type(*gptr());
        }
    }
    return traits_type::eof();
}

TResourceStream::TResourceStream(TResourceBytes source) : std::istream(nullptr), FBuf(source) {
    rdbuf(&FBuf);
}

std::string InflateAll(TResourceBytes source) {
    TInflateStreamBuf buffer(source);
    std::string text;
    std::istream in(&buffer);
    char chunk[kChunk];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) text.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (buffer.Failed()) throw std::runtime_error("inflate failed: " + buffer.Error());
    return text;
}

void OpenResourceStreams(const TResourceProvider& provider) {
    std::map<std::string, TResourceBytes, std::less<>> found;
    for (const char* name : ResourceNames) {
        auto bytes = provider.Find(name);
        if (!bytes || !bytes->data) throw std::runtime_error(std::string("Data resource \"") + name + "\" is missing");
        found.emplace(name, *bytes);
    }
    std::lock_guard lock(openedMutex);
    openedResources = std::move(found);
}

std::unique_ptr<TResourceStream> TakeResourceStream(std::string_view name) {
    std::lock_guard lock(openedMutex);
    auto it = openedResources.find(name);
    if (it == openedResources.end()) return nullptr;
    auto stream = std::make_unique<TResourceStream>(it->second);
    openedResources.erase(it);
    return stream;
}
