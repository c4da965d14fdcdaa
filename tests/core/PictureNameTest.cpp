#include "core/PictureName.h"

#include <gtest/gtest.h>

using core::PictureSaveName;

namespace {

TEST(PictureName, NameExtensionAndFilterFromTheAddress)
{
    const struct {
        const char* address;
        const char* name;
        const char* extension;
        const char* filter;
    } rows[] = {
        {"http://host:6868/static/photo.png", "photo.png", ".png", "*.png"},
        {"http://host/a/photo.png?v=2&w=3", "photo.png?v=2&w=3", ".png?v=2&w=3", "*.png?v=2&w=3"},
        {"http://host/a.b/picture", "picture", "", "*"},
        {"http://host/pictures/", "", "", "*"},
        {"http://host/archive.tar.gz", "archive.tar.gz", ".gz", "*.gz"},
        {"http://host/a\\b.jpg", "b.jpg", ".jpg", "*.jpg"},
        {"photo.gif", "photo.gif", ".gif", "*.gif"},
        {"http://host/图片.png", "图片.png", ".png", "*.png"},
        // The dot must follow the last separator.
        {"http://host.example/photo", "photo", "", "*"},
        {"data:image/png;base64,iVBORw0KGgo=", "png;base64,iVBORw0KGgo=", "", "*"},
    };
    for (const auto& row : rows) {
        const auto name = PictureSaveName(row.address);
        EXPECT_EQ(name.FileName, row.name) << row.address;
        EXPECT_EQ(name.Extension, row.extension) << row.address;
        EXPECT_EQ(name.Filter, row.filter) << row.address;
    }
}

TEST(PictureName, NoNameLongerThanAFileNameMayBe)
{
    const std::string data = "data:image/png;base64," + std::string(300, 'A') + ".x";
    const auto name = PictureSaveName(data);
    EXPECT_EQ(name.FileName, "");
    EXPECT_EQ(name.Extension, "");
    EXPECT_EQ(name.Filter, "*");
    EXPECT_EQ(PictureSaveName("http://h/" + std::string(255, 'a')).FileName, std::string(255, 'a'));
}

} // namespace
