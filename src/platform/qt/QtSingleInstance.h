// One copy per folder on Linux: a local socket in the abstract namespace,
// named after the folder's canonical path. It is no file, so it needs no
// write access anywhere and ends with the process, crash or kill included.
#pragma once

#include <QLocalServer>
#include <QString>

#include <memory>
#include <string>

#include "platform/SingleInstance.h"

namespace platform {

class QtSingleInstance final : public SingleInstance {
public:
    explicit QtSingleInstance(const std::string& folder);
    ~QtSingleInstance() override;

    bool Acquire() override;

private:
    bool AskToComeToFront() const;

    QString name_;
    std::unique_ptr<QLocalServer> server_;
};

// The socket's name for a folder: the same for every path that leads to it.
QString SingleInstanceName(const std::string& folder);

}  // namespace platform
