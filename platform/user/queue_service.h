// Work the layer does on the UI thread whenever GetMessage or PeekMessage looks at the queue, as
// Win32 delivers messages sent from other threads inside GetMessage: the accessibility bridge
// answers its bus this way. One service; it must return at once when it has nothing to do, and
// is not entered again from inside itself. Internal to platform/.
#pragma once

void SetQueueService(void (*service)());
