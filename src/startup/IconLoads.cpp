#include "startup/IconLoads.h"

#include <QDir>

#include <chrono>

namespace {

constexpr std::size_t kAtOnce = 2;

} // namespace

IconLoads::IconLoads(std::vector<Request> requests, const QString &workRoot)
{
    for (std::size_t i = 0; i < requests.size(); ++i) {
        auto load = std::make_unique<Load>();
        load->request = requests[i];
        load->finished = load->done.get_future();
        MbmImageList &list = *load->request.list;
        list.WorkFolder = workRoot + QStringLiteral("list-%1/").arg(i + 1);
        // Made here, before any thread starts, so no two threads create folders at once.
        QDir().mkpath(list.WorkFolder + QStringLiteral("temp"));
        load->ownMessages = std::move(list.OnMessage);
        list.OnMessage = [kept = &load->messages](const QString &caption, const QString &text) {
            kept->emplace_back(caption, text);
        };
        m_loads.push_back(std::move(load));
    }
    const std::size_t workers = std::min(kAtOnce, m_loads.size());
    for (std::size_t w = 0; w < workers; ++w)
        m_workers.emplace_back([this] { work(); });
}

IconLoads::~IconLoads()
{
    m_stopping = true;
    m_workers.clear(); // joins
}

void IconLoads::work()
{
    for (std::size_t i = m_next++; i < m_loads.size() && !m_stopping; i = m_next++) {
        Load &load = *m_loads[i];
        // An exception (out of memory) is the caller's to handle, as it was when one load
        // followed another on its thread.
        try {
            if (!load.request.path.isEmpty())
                (void)load.request.list->LoadFromMBM(load.request.path);
            load.done.set_value();
        } catch (...) {
            load.done.set_exception(std::current_exception());
        }
    }
}

bool IconLoads::allFinished() const
{
    for (const auto &load : m_loads) {
        if (load->finished.valid() &&
            load->finished.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return false;
    }
    return true;
}

void IconLoads::take(std::size_t i)
{
    Load &load = *m_loads.at(i);
    load.finished.wait();
    MbmImageList &list = *load.request.list;
    list.OnMessage = std::move(load.ownMessages);
    load.finished.get(); // rethrows what the load threw
    if (list.OnMessage) {
        for (const auto &[caption, text] : load.messages)
            list.OnMessage(caption, text);
    }
    load.messages.clear();
}
