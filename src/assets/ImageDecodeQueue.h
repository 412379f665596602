// ImageDecodeQueue: decodes image files into Textures on worker threads, ahead of the loading step that
// registers them, so that decoding overlaps the rest of loading. A decode on a worker shows no message: the
// messages it raised travel with its texture, and whoever takes the texture shows them where a decode of
// its own would have shown them. The loading sequence queues the texture list's lines and takes them back
// in list order; the queue registers nothing itself.
#pragma once

#include "assets/Texture.h"
#include "core/Message.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace halcyra {

struct DecodedImage {
    std::unique_ptr<Texture> texture;
    std::vector<Message> messages; // raised by the decode, in order, not shown yet
};

class ImageDecodeQueue {
public:
    // Decodes on `workers` threads (at least one).
    explicit ImageDecodeQueue(unsigned workers);
    // Finishes the decodes already begun and drops every texture not taken.
    ~ImageDecodeQueue();
    ImageDecodeQueue(const ImageDecodeQueue&) = delete;
    ImageDecodeQueue& operator=(const ImageDecodeQueue&) = delete;

    // The worker count for this machine: its hardware threads, one to four.
    static unsigned defaultWorkers();

    // Queues TextureLoader::decodeFile (path, a Texture named `name`, kind). Decodes start in queue order.
    void add(std::string path, std::string name, int kind);
    // Waits for the first queued decode of exactly this path, name and kind not taken yet, and hands it
    // over; nothing when none was queued.
    std::optional<DecodedImage> take(const std::string& path, const std::string& name, int kind);

private:
    struct Job {
        std::string path;
        std::string name;
        int kind = 0;
        bool done = false;
        bool taken = false;
        DecodedImage result;
    };

    void work();

    std::mutex mutex;
    std::condition_variable wake;     // a job was queued, or the queue closes
    std::condition_variable finished; // a job is done
    std::vector<std::unique_ptr<Job>> jobs;
    size_t nextJob = 0;
    bool closing = false;
    std::vector<std::thread> workers;
};

} // namespace halcyra
