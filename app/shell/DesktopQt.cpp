#include "app/shell/Desktop.h"

#include "platform/qt/QtBackend.h"

namespace {

class TQtDesktop : public TDesktop {
public:
    explicit TQtDesktop(std::unique_ptr<TQtBackend> backend) : FBackend(std::move(backend)) {}

private:
    std::unique_ptr<TQtBackend> FBackend;
};

}  // namespace

std::unique_ptr<TDesktop> StartDesktop(int& argc, char** argv)
{
    auto backend = InstallQtBackendIfDisplay(argc, argv);
    if (!backend)
        return nullptr;
    return std::make_unique<TQtDesktop>(std::move(backend));
}
