#include "platform/batched_reads.h"

#include <algorithm>
#include <cerrno>
#include <liburing.h>
#include <unistd.h>

namespace parvex {

void ReadPlainly(TReadRequest& request) {
    auto done = static_cast<std::size_t>(std::max<std::int64_t>(request.Result, 0));
    while (done < request.Length) {
        const ssize_t count = ::pread(request.Fd, request.Buffer + done, request.Length - done,
                                      static_cast<off_t>(request.Offset + std::int64_t(done)));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            request.Result = -errno;
            return;
        }
        if (count == 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    request.Result = static_cast<std::int64_t>(done);
}

struct TBatchReader::TRing {
    io_uring Ring{};
};

TBatchReader::TBatchReader(TReadPath path) {
    if (path != TReadPath::Batched)
        return;
    auto ring = std::make_unique<TRing>();
    // Every queued read is submitted even when one of them fails, so none is left behind to go
    // with a later batch after its buffer was reused.
    if (io_uring_queue_init(MostAtOnce, &ring->Ring, IORING_SETUP_SUBMIT_ALL) == 0)
        ring_ = std::move(ring);
}

TBatchReader::~TBatchReader() {
    if (ring_)
        io_uring_queue_exit(&ring_->Ring);
}

void TBatchReader::ReadAll(std::span<TReadRequest> requests) {
    for (TReadRequest& request : requests)
        request.Result = 0;
    if (ring_) {
        for (std::size_t at = 0; at < requests.size(); at += MostAtOnce)
            ReadOnRing(requests.subspan(at, std::min(MostAtOnce, requests.size() - at)));
    }
    // A read the ring left short (it may stop early) or that it could not do is finished plainly;
    // a real error stays.
    for (TReadRequest& request : requests) {
        const bool again =
            request.Result == -EAGAIN || request.Result == -EINTR || request.Result == -ECANCELED;
        if (again)
            request.Result = 0;
        if (request.Result >= 0 && std::size_t(request.Result) < request.Length)
            ReadPlainly(request);
    }
}

void TBatchReader::ReadOnRing(std::span<TReadRequest> requests) {
    io_uring& ring = ring_->Ring;
    std::size_t queued = 0;
    for (std::size_t k = 0; k < requests.size(); ++k) {
        io_uring_sqe* entry = io_uring_get_sqe(&ring);
        if (entry == nullptr)
            break;
        TReadRequest& request = requests[k];
        io_uring_prep_read(entry, request.Fd, request.Buffer, static_cast<unsigned>(request.Length),
                           static_cast<std::uint64_t>(request.Offset));
        io_uring_sqe_set_data64(entry, k);
        ++queued;
    }
    int submitted = 0;
    do {
        submitted = io_uring_submit_and_wait(&ring, static_cast<unsigned>(queued));
    } while (submitted == -EINTR);
    // Every read in flight is waited for: the kernel writes into its buffer until it completes.
    for (int reaped = 0; reaped < submitted;) {
        io_uring_cqe* completion = nullptr;
        if (io_uring_wait_cqe(&ring, &completion) != 0)
            continue;
        requests[io_uring_cqe_get_data64(completion)].Result = completion->res;
        io_uring_cqe_seen(&ring, completion);
        ++reaped;
    }
    if (submitted < static_cast<int>(queued)) {
        // Reads the kernel did not take are done plainly, and the ring, which still holds
        // them, is given up so that they never go with a later batch.
        io_uring_queue_exit(&ring);
        ring_.reset();
    }
}

} // namespace parvex
