// One replaceable service of the window layer (file, colour and screen-pixel
// services): the one set, else a default made on first use.
#pragma once

#include <memory>
#include <mutex>

namespace Tessor::mfc {

template <typename Service, typename Default>
class ServiceSlot {
public:
    void set(std::shared_ptr<Service> service)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_service = std::move(service);
    }
    std::shared_ptr<Service> get()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_service) {
            m_service = std::make_shared<Default>();
        }
        return m_service;
    }

private:
    std::mutex m_mutex;
    std::shared_ptr<Service> m_service;
};

}  // namespace Tessor::mfc
