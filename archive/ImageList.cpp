#include "archive/ImageList.h"

void ImageList::add(const QString& key, const QIcon& icon)
{
    if (images_.contains(key))
        return;
    images_.insert(key, icon);
    keys_.append(key);
}

void ImageList::clear()
{
    images_.clear();
    keys_.clear();
}
