#pragma once
// A page over a popup bound asks for more popups at full speed (a loop of window.open).
// Each one the client refuses still costs the engine a page made and torn down, so once
// a page is over a bound the engine itself refuses its popups without a user's click,
// before it makes anything for them, until a bound's window has passed since the last one
// held back. UI thread only.

class QWebEnginePage;

void RefuseScriptPopups(QWebEnginePage* page);
