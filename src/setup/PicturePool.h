#pragma once

class QThreadPool;

// The threads that decode the user's pictures off the window's thread: the canvas's pictures and
// those the "Add Image" sheet resizes. Two at a time, so that two huge pictures (a 10000 x 10000
// PNG takes 400 MB while it decodes) are the most memory held at once, and other background work
// keeps its threads. Decodes draw text with the application's fonts, so none may outlive the
// application: the designer stops the pool before it ends.
namespace PicturePool {

QThreadPool &instance();

// Whether the pool is being stopped: a decode then gives up as soon as it next looks.
bool isStopping();

// Makes every decode, begun or not, give up, and waits until they have ended.
// Main thread; the pool takes decodes again afterwards.
void stop();

} // namespace PicturePool
