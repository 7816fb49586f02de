#pragma once

#include "containers/MbmImageList.h"
#include "containers/Progress.h"

#include <QString>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

// Loads icon files into their lists two at a time, while the caller takes the results one by one
// in the order the files were named. Each converter run mostly waits for its child process and
// the disk, and the machine this is made for has two cores. The converter's working names are
// fixed ("temp/1.bmp"), so every list works in a folder of its own.
//
// Messages a list raises while loading are kept and handed on, in order, by the caller's
// thread when it takes that list, so message boxes appear exactly where they would for one load
// after another. The lists must outlive this object; destroying it waits for loads under way
// and starts no new ones.
class IconLoads
{
public:
    struct Request
    {
        MbmImageList *list = nullptr;
        QString path; // the .mbm; a request without one only reserves its place in the order
    };

    // Starts loading at once. Each list's ToolName must be set; its WorkFolder is set here to
    // workRoot + "list-N/", and its OnMessage is held back until the list is taken.
    IconLoads(std::vector<Request> requests, const QString &workRoot);
    ~IconLoads();
    IconLoads(const IconLoads &) = delete;
    IconLoads &operator=(const IconLoads &) = delete;

    // Waits for load number i, gives the list back its OnMessage and passes it the messages
    // held back; an exception the load threw is thrown here. Take the loads in order, each at
    // most once.
    void take(std::size_t i);
    // Whether every load has ended, taken or not.
    bool allFinished() const;

private:
    struct Load
    {
        Request request;
        MessageCallback ownMessages;
        std::vector<std::pair<QString, QString>> messages;
        std::promise<void> done;
        std::future<void> finished;
    };

    void work();

    std::vector<std::unique_ptr<Load>> m_loads;
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_stopping{false};
    std::vector<std::jthread> m_workers;
};
