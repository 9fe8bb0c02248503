#include "platform/FbBlob.h"

#include <algorithm>

namespace platform::fbapi {

namespace {

// An open blob handle: closed by close(), cancelled when an error leaves it open.
class BlobHandle {
public:
    explicit BlobHandle(const Api& api) : api_(api) {}
    BlobHandle(const BlobHandle&) = delete;
    BlobHandle& operator=(const BlobHandle&) = delete;
    ~BlobHandle() {
        if (handle_ == 0)
            return;
        Status ignored{};
        api_.isc_cancel_blob(ignored.data(), &handle_);
    }

    isc_blob_handle* get() { return &handle_; }

    void close() {
        Status status{};
        api_.isc_close_blob(status.data(), &handle_);
        check(api_, status);
        handle_ = 0;
    }

private:
    const Api& api_;
    isc_blob_handle handle_ = 0;
};

// Segments are at most 64 KiB - 1 long.
constexpr unsigned short kSegmentSize = 32768;

} // namespace

std::string readBlob(const Api& api, isc_db_handle* database, isc_tr_handle* transaction,
                     ISC_QUAD id) {
    BlobHandle blob(api);
    Status status{};
    api.isc_open_blob2(status.data(), database, transaction, blob.get(), &id, 0, nullptr);
    check(api, status);
    std::string content;
    char segment[kSegmentSize];
    for (;;) {
        unsigned short length = 0;
        api.isc_get_segment(status.data(), blob.get(), &length, sizeof segment, segment);
        // isc_segment: the buffer held only part of a segment; the rest comes next.
        if (failed(status) && status[1] != isc_segment) {
            if (status[1] == isc_segstr_eof)
                break;
            check(api, status);
        }
        content.append(segment, length);
    }
    blob.close();
    return content;
}

ISC_QUAD writeBlob(const Api& api, isc_db_handle* database, isc_tr_handle* transaction,
                   std::string_view bytes) {
    BlobHandle blob(api);
    ISC_QUAD id{};
    Status status{};
    api.isc_create_blob2(status.data(), database, transaction, blob.get(), &id, 0, nullptr);
    check(api, status);
    for (size_t at = 0; at < bytes.size(); at += kSegmentSize) {
        const size_t length = std::min<size_t>(kSegmentSize, bytes.size() - at);
        api.isc_put_segment(status.data(), blob.get(), static_cast<unsigned short>(length),
                            bytes.data() + at);
        check(api, status);
    }
    blob.close();
    return id;
}

} // namespace platform::fbapi
