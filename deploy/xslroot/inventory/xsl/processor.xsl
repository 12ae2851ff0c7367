<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Processor: every processor node of lshw's tree; a get keeps the
     one whose path in the tree is the DeviceID key. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:include href="lshw.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:for-each select="/QRVCIM/Inventory/Hardware//node[@class = 'processor']">
      <xsl:variable name="id"><xsl:call-template name="device-id"/></xsl:variable>
      <xsl:if test="not($get) or $id = $key">
        <xsl:call-template name="processor">
          <xsl:with-param name="id" select="$id"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="processor">
    <xsl:param name="id"/>
    <xsl:text>instance of Korvex_Processor&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="$id"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Name'"/>
      <xsl:with-param name="value" select="product"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="vendor"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Version'"/>
      <xsl:with-param name="value" select="version"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Slot'"/>
      <xsl:with-param name="value" select="slot"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'BusInfo'"/>
      <xsl:with-param name="value" select="businfo"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'Width'"/>
      <xsl:with-param name="value" select="width"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'CurrentClockSpeed'"/>
      <xsl:with-param name="value">
        <xsl:call-template name="megahertz"><xsl:with-param name="hertz" select="size[@units = 'Hz']"/></xsl:call-template>
      </xsl:with-param>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'MaxClockSpeed'"/>
      <xsl:with-param name="value">
        <xsl:call-template name="megahertz"><xsl:with-param name="hertz" select="capacity[@units = 'Hz']"/></xsl:call-template>
      </xsl:with-param>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'NumberOfCores'"/>
      <xsl:with-param name="value" select="configuration/setting[@id = 'cores']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'NumberOfEnabledCores'"/>
      <xsl:with-param name="value" select="configuration/setting[@id = 'enabledcores']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'NumberOfLogicalProcessors'"/>
      <xsl:with-param name="value" select="configuration/setting[@id = 'threads']/@value"/>
    </xsl:call-template>
    <!-- lshw marks a disabled processor; the others are in use. -->
    <xsl:call-template name="boolean-property">
      <xsl:with-param name="name" select="'Enabled'"/>
      <xsl:with-param name="value" select="not(@disabled = 'true')"/>
    </xsl:call-template>
    <xsl:call-template name="array-property">
      <xsl:with-param name="name" select="'Capabilities'"/>
      <xsl:with-param name="values" select="capabilities/capability/@id"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
