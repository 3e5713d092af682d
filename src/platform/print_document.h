#pragma once
// One document on a print job: start it, print its pages one after the other, end it. A step
// that fails shows its message (caption "エラー") and aborts the document, and an abort that
// fails is told as well; every printing command runs its document through here, so the steps
// and the messages are the same for all of them.
#include <functional>

#include <QString>

namespace sorvel {

class PrintJob;

// Paints the page of the given number (from 0) on the job's current page. False when there is
// nothing to print (the painter has said why): the document is then aborted without a message
// of its own.
using PaintPage = std::function<bool(int page)>;

// Prints pageCount pages (at least one) as the document `name`. True when the document ended.
bool printDocument(PrintJob& job, const QString& name, int pageCount, const PaintPage& paintPage);

}  // namespace sorvel
