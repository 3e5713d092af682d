#pragma once
// A finished document on its way to a printer's queue.
#include <functional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QString>

namespace sorvel {

struct PrintSubmission {
    QString printer;
    QString file;  // the spooled PDF; removed after the submitter returns
    QString jobName;
    std::vector<std::pair<QByteArray, QByteArray>> options;
};
// True when the queue took the job.
using PrintSubmitter = std::function<bool(const PrintSubmission&)>;

}  // namespace sorvel
