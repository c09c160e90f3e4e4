#include "app/gameobjects.h"

#include "draw/bulletmanager_draw.h"
#include "draw/enemymanager_draw.h"
#include "draw/explosionmanager_draw.h"
#include "draw/spaceship_draw.h"
#include "draw/world_draw.h"
#include "net/networkhandler.h"
#include "net/outbox.h"
#include "platform/soundmanager.h"
#include "render/batchrenderer.h"
#include "render/defaultsprite.h"
#include "render/glwrapper.h"
#include "render/pictureloader.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/starfield.h"
#include "render/texturelibrary.h"
#include "sim/aiplayer.h"
#include "sim/bulletmanager.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"
#include "ui/button.h"
#include "ui/menu.h"
#include "world/capship.h"
#include "world/world.h"

GlWrapper Utility;
TextureLibrary Textures;
PictureLoader Pictures;
ShaderLibrary Shaders;
ShaderHelper ShaderUtility;
BatchRenderer Renderer;
RenderSort SortedRenderer;
DefaultSprite FullscreenFX;
DefaultSprite RenderScence;
DefaultSprite MiniMap;
Starfield Sprite3;
SoundManager Sounds;
NetworkHandler Networking;
Outbox Outgoing;
World Level;
WorldView LevelView;
CapShip Carrier;
CapShip Carrier2;
SpaceShip Player;
ShipView PlayerView;
BulletManager Bullets;
ExplosionManager Explosions;
ExplosionView ExplosionsView;
BulletView BulletsView;
EnemyManager Enemies;
EnemyView EnemiesView;
AiPlayer Bot[kBotCount];
Menu Weapons;
std::vector<menus> Menus;
int onmenu = 0;

Button cmdInternet, cmdLan, cmdHost;
Button cmdHighGraphics, cmdMediumGraphics, cmdLowGraphics;
Button cmdOptions, cmdPlay;
Button cmdName, cmdMusicOn, cmdMusicOff;
Button cmdBots;
Button cmdControls;
