#include "services/uno/OfficeWindows.h"

#include <algorithm>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/ui/XUIElement.hpp>

namespace varsel::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;

std::vector<Reference<css::frame::XFrame>> FramesOf(
    const Reference<css::frame::XDesktop2>& desktop) {
    std::vector<Reference<css::frame::XFrame>> frames;
    const Reference<css::container::XIndexAccess> all(desktop->getFrames(), UNO_QUERY);
    const sal_Int32 count = all.is() ? all->getCount() : 0;
    for (sal_Int32 i = 0; i < count; ++i) {
        Reference<css::frame::XFrame> frame;
        all->getByIndex(i) >>= frame;
        if (frame.is()) frames.push_back(frame);
    }
    return frames;
}

Reference<css::frame::XLayoutManager> LayoutManagerOf(const Reference<css::frame::XFrame>& frame) {
    Reference<css::frame::XLayoutManager> manager;
    const Reference<css::beans::XPropertySet> properties(frame, UNO_QUERY);
    if (properties.is()) properties->getPropertyValue("LayoutManager") >>= manager;
    return manager;
}

// The program drives the progress bar directly rather than through an indicator of the
// frame's indicator factory: the factory keeps every indicator it made until that indicator is
// ended, so one left behind by a program that died would hold the bar for good, while the bar
// itself can always be ended by whoever gives the window back.
Reference<css::task::XStatusIndicator> ProgressBarOf(
    const Reference<css::frame::XLayoutManager>& manager, bool create) {
    if (!manager.is()) return Reference<css::task::XStatusIndicator>();
    if (create && !manager->getElement(kProgressBar).is()) manager->createElement(kProgressBar);
    const Reference<css::ui::XUIElement> element = manager->getElement(kProgressBar);
    if (!element.is()) return Reference<css::task::XStatusIndicator>();
    return Reference<css::task::XStatusIndicator>(element->getRealInterface(), UNO_QUERY);
}

std::string DocumentKey(const Reference<css::frame::XModel>& document) {
    if (!document.is()) return std::string();
    const rtl::OUString url = document->getURL();
    if (!url.isEmpty()) return ToUtf8(url);
    const Reference<css::frame::XTitle> title(document, UNO_QUERY);
    return title.is() ? ToUtf8(title->getTitle()) : std::string();
}

void GiveBackWindows(const Reference<css::frame::XDesktop2>& desktop,
                     const std::vector<std::string>& documents) {
    for (const Reference<css::frame::XFrame>& frame : FramesOf(desktop)) {
        const Reference<css::frame::XController> controller = frame->getController();
        if (!controller.is()) continue;
        const std::string key = DocumentKey(controller->getModel());
        if (std::find(documents.begin(), documents.end(), key) == documents.end()) continue;
        const Reference<css::awt::XWindow> window = frame->getContainerWindow();
        if (window.is()) window->setEnable(true);
        const Reference<css::frame::XLayoutManager> manager = LayoutManagerOf(frame);
        const Reference<css::task::XStatusIndicator> progress = ProgressBarOf(manager, false);
        if (progress.is()) {
            progress->end();
            manager->hideElement(kProgressBar);
        }
    }
}

}  // namespace varsel::calc
