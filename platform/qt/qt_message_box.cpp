// Message boxes.
#include "platform/qt/qt_platform.h"

namespace plat::qt {

MsgAnswer QtPlatform::showMessageBox(const MessageBoxRequest& request) {
    (void)request;
    return MsgAnswer::Ok;
}

}  // namespace plat::qt
