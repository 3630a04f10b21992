// Items and the blocks that render them.
#include <map>
#include <set>

#include "check/checks.h"
#include "launcher/page/start_page.h"
#include "launcher/page/template_blocks.h"

void CheckBlocks(const Medium& medium, Findings& findings) {
    if (!medium.has_template() || !medium.has_data()) {
        return;
    }
    const std::vector<TemplateSegment>& segments = medium.segments();
    TemplateBlocks blocks(segments);
    std::set<BaseString> item_names;
    std::set<size_t> used;  // blocks by where their opening tag starts
    for (const PageItem& item : medium.items()) {
        if (!item_names.insert(item.name).second) {
            continue;
        }
        const TemplateBlock& block = blocks.Find(item.name);
        if (block.own.empty()) {
            findings.Warning(kDataFileName, medium.DataPosition(item.element),
                             u"no block \"" + item.name + u"\" in " + kTemplateFileName + u": \"" +
                                 item.name + u"\" items do not appear on the page");
        }
        for (size_t segment : block.own) {
            used.insert(segments[segment].block_tag);
        }
    }
    std::set<size_t> reported;
    for (const TemplateSegment& segment : segments) {
        if (segment.depth == 0 || used.count(segment.block_tag) ||
            !reported.insert(segment.block_tag).second) {
            continue;
        }
        BaseString block = u"block \"" + segment.block_name + u"\"";
        findings.Warning(kTemplateFileName, medium.TemplatePosition(segment.block_tag),
                         item_names.count(segment.block_name)
                             ? block + u" is never used: \"" + segment.block_name +
                                   u"\" items use the first block of that name"
                             : block + u" is used by no item of " + kDataFileName);
    }
}
