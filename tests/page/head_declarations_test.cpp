#include <gtest/gtest.h>

#include <string>

#include "launcher/page/head_declarations.h"
#include "test_support.h"

namespace {

constexpr char16_t kMode[] = u"<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">";
constexpr char16_t kBase[] = u"<base href=\"file:///D:/\">";

std::u16string Both() {
    return std::u16string(kMode) + kBase;
}

TEST(HeadDeclarations, GoFirstIntoTheHeadUnlessThePageHasItsOwn) {
    struct Case {
        const char* rule;
        std::u16string_view page;
        std::u16string expected;
    } cases[] = {
        {"after the head tag", u"<!DOCTYPE html>\n<html lang=en>\n<head>\n<meta charset=utf-8>",
         u"<!DOCTYPE html>\n<html lang=en>\n<head>" + Both() + u"\n<meta charset=utf-8>"},
        {"tags in any case, comments and blanks between them",
         u"<!-- menu --><!doctype html><!-- x --> <HTML><HEAD title='>'><title>",
         u"<!-- menu --><!doctype html><!-- x --> <HTML><HEAD title='>'>" + Both() + u"<title>"},
        {"no head tag: after the html tag", u"<!DOCTYPE html><html><title>t</title>",
         u"<!DOCTYPE html><html>" + Both() + u"<title>t</title>"},
        {"no html tag: after the doctype", u"<!DOCTYPE html><title>t</title>",
         u"<!DOCTYPE html>" + Both() + u"<title>t</title>"},
        {"a fragment: first, its byte-order mark left out", u"\uFEFF<p>menu</p>",
         Both() + u"<p>menu</p>"},
        {"one byte-order mark left out, a second is text", u"\uFEFF\uFEFF<!DOCTYPE html>",
         Both() + u"\uFEFF<!DOCTYPE html>"},
        {"text before the html tag: first, as the body has begun", u"menu<html><head>",
         Both() + u"menu<html><head>"},
        {"a later head tag is not the page's start", u"<html><body><head>",
         u"<html>" + Both() + u"<body><head>"},
        {"the page's own mode: only the base, after it",
         u"<head><META HTTP-EQUIV='x-ua-compatible' CONTENT='IE=9'><link href=a.css>",
         u"<head><META HTTP-EQUIV='x-ua-compatible' CONTENT='IE=9'>" + std::u16string(kBase) +
             u"<link href=a.css>"},
        {"the page's own mode after the title and other meta counts",
         u"<html><head><title>t</title><meta charset=utf-8>"
         u"<meta http-equiv=X-UA-Compatible content=IE=9><style>",
         u"<html><head><title>t</title><meta charset=utf-8>"
         u"<meta http-equiv=X-UA-Compatible content=IE=9>" +
             std::u16string(kBase) + u"<style>"},
        {"the page's own mode after another element does not count",
         u"<head><link rel=stylesheet href=a.css><meta http-equiv=X-UA-Compatible content=IE=9>",
         u"<head>" + Both() +
             u"<link rel=stylesheet href=a.css><meta http-equiv=X-UA-Compatible content=IE=9>"},
        {"nor in the body", u"<html><body><meta http-equiv=X-UA-Compatible content=IE=9>",
         u"<html>" + Both() + u"<body><meta http-equiv=X-UA-Compatible content=IE=9>"},
        {"the page's own base: only the mode", u"<head><base href=\"file:///E:/\">",
         u"<head>" + std::u16string(kMode) + u"<base href=\"file:///E:/\">"},
        {"both its own: the page as it is",
         u"<head><meta http-equiv=X-UA-Compatible content=IE=edge><base href=x>",
         u"<head><meta http-equiv=X-UA-Compatible content=IE=edge><base href=x>"},
        {"its own base before its own mode silences the mode: only the mode",
         u"<head><base href=x><meta http-equiv=X-UA-Compatible content=IE=edge>",
         u"<head>" + std::u16string(kMode) +
             u"<base href=x><meta http-equiv=X-UA-Compatible content=IE=edge>"},
        {"a base without an address, a mode in a comment are none",
         u"<head><base target=_top><!-- <meta http-equiv=X-UA-Compatible content=IE=7> -->",
         u"<head>" + Both() +
             u"<base target=_top><!-- <meta http-equiv=X-UA-Compatible "
             u"content=IE=7> -->"},
        {"an empty page", u"", Both()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(WithHeadDeclarations(c.page, u"file:///D:/"), BaseString(c.expected));
    }
}

TEST(HeadDeclarations, TheBaseIsAnAttributeValueAndAnEmptyOneIsNone) {
    EXPECT_EQ(WithHeadDeclarations(u"<head>", u"file:///D:/A&B \"q\"/"),
              BaseString(u"<head>" + std::u16string(kMode) +
                         u"<base href=\"file:///D:/A&amp;B &quot;q&quot;/\">"));
    EXPECT_EQ(WithHeadDeclarations(u"<head>", u""), BaseString(u"<head>" + std::u16string(kMode)));
}

}  // namespace
