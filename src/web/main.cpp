#include "web/web_page.h"

// The page's one thread runs this to the end of the page's life: Asyncify
// lets it wait for the player's events and dialogs without returning.
int main()
{
    static webui::WebPage page;
    page.run();
}
