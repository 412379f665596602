#include "assets/ImageDecodeQueue.h"

#include "assets/TextureLoader.h"

#include <algorithm>

namespace halcyra {

ImageDecodeQueue::ImageDecodeQueue(unsigned workerCount) {
    for (unsigned i = 0; i < std::max(workerCount, 1u); ++i)
        workers.emplace_back([this] { work(); });
}

ImageDecodeQueue::~ImageDecodeQueue() {
    {
        std::lock_guard lock(mutex);
        closing = true;
    }
    wake.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

unsigned ImageDecodeQueue::defaultWorkers() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

void ImageDecodeQueue::add(std::string path, std::string name, int kind) {
    auto job = std::make_unique<Job>();
    job->path = std::move(path);
    job->name = std::move(name);
    job->kind = kind;
    {
        std::lock_guard lock(mutex);
        jobs.push_back(std::move(job));
    }
    wake.notify_one();
}

std::optional<DecodedImage> ImageDecodeQueue::take(const std::string& path, const std::string& name,
                                                   int kind) {
    std::unique_lock lock(mutex);
    const auto found = std::find_if(jobs.begin(), jobs.end(), [&](const std::unique_ptr<Job>& job) {
        return !job->taken && job->path == path && job->name == name && job->kind == kind;
    });
    if (found == jobs.end())
        return std::nullopt;
    Job& job = **found;
    finished.wait(lock, [&] { return job.done; });
    job.taken = true;
    return std::move(job.result);
}

void ImageDecodeQueue::work() {
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [&] { return closing || nextJob < jobs.size(); });
            if (closing)
                return;
            job = jobs[nextJob++].get();
        }
        auto texture = std::make_unique<Texture>(job->name);
        MessageHold hold;
        TextureLoader().decodeFile(job->path.c_str(), *texture, job->kind);
        {
            std::lock_guard lock(mutex);
            job->result.texture = std::move(texture);
            job->result.messages = hold.take();
            job->done = true;
        }
        finished.notify_all();
    }
}

} // namespace halcyra
